#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <optional>

namespace zelmora {

// The preview window runs in a process of its own, the program started as
// `zelmora --preview-guest`: the web engine's memory goes with that process,
// and the engine's failures end it, not the editor. The program's side is
// ui/preview (PreviewClient), the preview process's side ui/preview_guest.
//
// The program and the guest talk over the guest's standard input (program to
// guest) and standard output (guest to program), one JSON object per line:
//
//   program to guest
//     {"type":"show","folder":"/…/TEMP/","title":"abc","extension":".htm",
//      "last":3,"x":120,"y":340,"parent":4194311}
//       Show page 1 of the preview pages folder + title + "_n" + extension,
//       n from 1 to last, at the screen position x, y, transient for and
//       modal to the X11 window parent (0 or missing: none; anything but a
//       whole number below 2^32 is refused). The title may be empty (pages "_1.htm" …).
//       A page tells its own encoding (a UTF-8 page starts with its
//       byte-order mark).
//       The pages are the program's: it wrote them and deletes them once the
//       guest answers "closed" or "failed", or ends, or stops answering.
//     {"type":"close"}
//       Close the window shown (the user asked for it in the main window);
//       answered by "closed", or by nothing when no window is open.
//
//   guest to program
//     {"type":"shown"}                 the window is on screen
//     {"type":"closed"}                the window closed (any way)
//     {"type":"failed","reason":"…"}   no window: the request could not be
//                                      read or taken, or the page could not be
//                                      shown (the guest then ends)
//
// Every "show" gets "shown" or "failed". The program waits for "shown" no
// longer than kPreviewShowDeadlineMs and for "closed" after its "close" no
// longer than kPreviewCloseGraceMs, and ends a guest that misses either.
// The guest ends when its standard input closes, which the program does
// kPreviewWarmMs after the window closed unless another preview came (a
// second preview soon after the first starts at once, and an idle program
// holds no web engine), and when the program dies (the parent-death signal).
inline constexpr char kPreviewGuestOption[] = "--preview-guest";
inline constexpr int kPreviewWarmMs = 30000;
// A cold engine on a slow machine. Here the first preview in a fresh
// process took at most 0.6 s (150 runs under Xvfb, with and without the
// GPU, the two cores loaded); a disk that must be read first, a laptop on
// battery or a network home folder take many times that, and a deadline
// that fires on a working preview would be worse than a late message.
inline constexpr int kPreviewShowDeadlineMs = 20000;
inline constexpr int kPreviewCloseGraceMs = 1000;

struct PreviewRequest {
    enum class Kind { Show, Close };
    Kind kind = Kind::Show;
    QString folder; // ends in "/"
    QString title;
    QString extension; // ".htm"
    int lastPage{};    // 1 to 6; always given
    QPoint position;
    quint64 parentWindow{}; // none
    // X11 window ids are 32 bits; a larger one is refused.
    static constexpr quint64 kLargestWindowId = 0xFFFFFFFFu;

    QByteArray toLine() const;
    // nullopt for a line that is not a request at all.
    static std::optional<PreviewRequest> fromLine(const QByteArray &line);
    // What makes a show request one the guest must not take; nullopt when
    // there is nothing.
    std::optional<QString> fault() const;
};

// Whether folder is named as the program names its preview folder: TEMP
// beside the output folder Popleaf, ending in "/".
bool isPreviewFolder(const QString &folder);

// The guest's answers.
struct PreviewAnswer {
    enum class Kind { Shown, Closed, Failed };
    Kind kind = Kind::Closed;
    QString reason;

    QByteArray toLine() const;
    static std::optional<PreviewAnswer> fromLine(const QByteArray &line);
};

} // namespace zelmora
