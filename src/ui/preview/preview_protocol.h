#pragma once

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <optional>

namespace zelmora {

// The preview window runs in a process of its own, the program started as
// `zelmora --preview-guest`: the web engine's memory goes with that process,
// and the engine's failures end it, not the editor.
//
// The program and the guest talk over the guest's standard input (program to
// guest) and standard output (guest to program), one JSON object per line:
//
//   program to guest
//     {"type":"show","folder":"/…/TEMP/","title":"abc","extension":".htm",
//      "last":3,"encoding":"Shift_JIS","x":120,"y":340,"parent":4194311}
//       Show page 1 of the preview pages folder + title + "_n" + extension,
//       n from 1 to last, at the screen position x, y, transient for the X11
//       window parent (0: none). The pages are the program's: it wrote them
//       and deletes them once the guest answers "closed" or "failed", or ends.
//
//   guest to program
//     {"type":"shown"}                 the window is on screen
//     {"type":"closed"}                the user closed it (any way)
//     {"type":"failed","reason":"…"}   no window, or its page could not be
//                                      shown; the guest then ends
//
// The guest ends when its standard input closes (the program ended), and
// kPreviewWarmMs after its window closed unless another "show" came: a second
// preview soon after the first starts at once, and an idle program holds no
// web engine.
inline constexpr char kPreviewGuestOption[] = "--preview-guest";
inline constexpr int kPreviewWarmMs = 30000;

struct PreviewRequest {
    QString folder; // ends in "/"
    QString title;
    QString extension; // ".htm"
    int lastPage = 1;
    QString encoding; // the pages' own: "Shift_JIS" or "UTF-8"
    QPoint position;
    quint64 parentWindow = 0;

    QByteArray toLine() const;
    static std::optional<PreviewRequest> fromLine(const QByteArray &line);
};

// The guest's answers.
struct PreviewAnswer {
    enum class Kind { Shown, Closed, Failed };
    Kind kind = Kind::Closed;
    QString reason;

    QByteArray toLine() const;
    static std::optional<PreviewAnswer> fromLine(const QByteArray &line);
};

} // namespace zelmora
