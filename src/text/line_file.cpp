#include "text/line_file.h"

#include "text/cp932.h"
#include "text/file_descriptor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

QString FileError::writeMessage() const
{
    return QStringLiteral("ファイルを書き込めませんでした。\n%1\n理由: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

std::optional<FileError> writeCp932Lines(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += encodeCp932(line);
        bytes += "\r\n";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return FileError{path, file.errorString()};
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return FileError{path, reason};
    }
    if (!file.commit())
        return FileError{path, file.errorString()};
    return std::nullopt;
}

bool readCp932Lines(const QString &path, const std::function<bool(const QString &)> &onLine)
{
    // O_NONBLOCK keeps open() from waiting on a FIFO; the type is then checked
    // on the opened descriptor, so nothing can be swapped in between.
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;

    QByteArray line;
    bool skipping = false;    // inside a line longer than kMaxLineBytes
    bool pendingCr = false;   // the last chunk ended in CR: a following LF belongs to it
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            break; // a read error ends the file like its end would
        }
        if (got == 0)
            break;
        qsizetype start = 0;
        for (qsizetype i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (pendingCr) {
                pendingCr = false;
                if (c == '\n') {
                    start = i + 1;
                    continue;
                }
            }
            if (c != '\r' && c != '\n')
                continue;
            if (!skipping) {
                line.append(buffer + start, i - start);
                if (line.size() <= kMaxLineBytes && !onLine(decodeCp932(line)))
                    return true;
            }
            line.clear();
            skipping = false;
            pendingCr = (c == '\r');
            start = i + 1;
        }
        if (!skipping) {
            line.append(buffer + start, got - start);
            if (line.size() > kMaxLineBytes) {
                line.clear();
                skipping = true;
            }
        }
    }
    if (!skipping && !line.isEmpty())
        onLine(decodeCp932(line));
    return true;
}

} // namespace zelmora
