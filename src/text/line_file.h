#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zelmora {

enum class PageEncoding;

// A file that could not be written or read: which one and the system's reason.
struct FileError {
    QString path;
    QString reason;

    // The one message the user sees for it, in the interface's language.
    QString writeMessage() const;
};

// Writes the lines as CP932, each followed by CR LF, without a byte-order
// mark, through writeWholeFile.
std::optional<FileError> writeCp932Lines(const QString &path, const QStringList &lines);

// Writes bytes as the whole new content of path. The file is written and
// synced unnamed in path's folder (a named hidden file where the file
// system has no O_TMPFILE) and only then renamed over path, so:
// - an existing good file is replaced only once every byte is stored; a
//   failed write (a full disk among others) leaves it and no temporary file;
// - a kill while writing leaves nothing behind (with O_TMPFILE);
// - whatever path holds is replaced itself, never followed: a symbolic link
//   planted there is replaced by the file, and its target is left alone.
// A folder at path, or an existing file the user may not write, is refused.
// TemporaryFile::Named takes the fallback road at once (for its tests).
enum class TemporaryFile { Unnamed, Named };
std::optional<FileError> writeWholeFile(const QString &path, const QByteArray &bytes,
                                        TemporaryFile temporary = TemporaryFile::Unnamed);

// A process over its file-size limit gets SIGXFSZ, which would end the
// program with the user's work in it; ignored, the write fails with EFBIG
// like a full disk, and is reported. Called once at start-up.
void reportFileSizeLimitAsWriteError();

// Longest line the reader hands on; a longer line is skipped whole, so a
// foreign file cannot make the reader hold more than this in memory.
inline constexpr qsizetype kMaxLineBytes = 1 << 20;

// Reads a CP932 text file line by line (CR LF, LF and CR all end a line) and
// calls onLine for each until it returns false or the file ends. Only a
// regular file is opened: a folder, a FIFO or a device counts as a file that
// cannot be opened, and the function returns false without calling onLine.
bool readCp932Lines(const QString &path, const std::function<bool(const QString &)> &onLine);

// The same, handing on only the lines that hold one of the markers. Each
// marker is ASCII with an '=' in it and no line break, as the attribute
// markers of a page are. An ASCII character of the decoded text always
// comes from its own byte, so only those lines are decoded; in a file that
// fits one read, only the '=' signs are looked at to find them.
bool readCp932LinesHolding(const QString &path, const QList<QByteArray> &markers,
                           const std::function<bool(const QString &)> &onLine);

// The same with the path already in the file system's encoding
// (QFile::encodeName), for a reader that opens many files of one stem.
bool readCp932LinesHolding(const QByteArray &nativePath, const QList<QByteArray> &markers,
                           const std::function<bool(const QString &)> &onLine);

// The same for a generated page, which is CP932 unless its first bytes say
// UTF-8 (detectPageEncoding in page_encoding.h); its lines are decoded in the
// encoding found, which is stored in encoding, when given, before the first
// line is handed on.
bool readPageLinesHolding(const QByteArray &nativePath, const QList<QByteArray> &markers,
                          const std::function<bool(const QString &)> &onLine,
                          PageEncoding *encoding = nullptr);

} // namespace zelmora
