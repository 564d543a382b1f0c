#include "text/line_file.h"

#include "text/cp932.h"
#include "text/file_descriptor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
    return readCp932Lines(path, [](QByteArrayView) { return true; }, onLine);
}

bool readCp932Lines(const QString &path, const std::function<bool(QByteArrayView)> &wanted,
                    const std::function<bool(const QString &)> &onLine)
{
    // O_NONBLOCK keeps open() from waiting on a FIFO; the type is then checked
    // on the opened descriptor, so nothing can be swapped in between.
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;

    // A line is decoded straight from the buffer; only a line that runs on
    // into the next read is gathered in carried first.
    QByteArray carried;
    bool skipping = false;  // inside a line longer than kMaxLineBytes
    bool pendingCr = false; // the last read ended in CR: a following LF belongs to it
    char buffer[64 * 1024];
    // The size fstat gave ends the reading once reached, which saves the
    // read that would only report the end (a third of the calls for a
    // small page); files that report no size are read to the end.
    const off_t size = st.st_size;
    off_t total = 0;
    for (;;) {
        if (size > 0 && total >= size)
            break;
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            break; // a read error ends the file like its end would
        }
        if (got == 0)
            break;
        total += got;
        const char *p = buffer;
        const char *const end = buffer + got;
        if (pendingCr) {
            pendingCr = false;
            if (*p == '\n')
                ++p;
        }
        // The next CR and the next LF, each found once by memchr and kept
        // until the scan has passed it.
        const char *nextCr = nullptr;
        const char *nextLf = nullptr;
        auto after = [end](const char *from, char c) {
            const void *hit = std::memchr(from, c, std::size_t(end - from));
            return hit ? static_cast<const char *>(hit) : end;
        };
        while (p < end) {
            if (nextCr < p)
                nextCr = after(p, '\r');
            if (nextLf < p)
                nextLf = after(p, '\n');
            const char *eol = std::min(nextCr, nextLf);
            if (eol == end)
                break;
            if (!skipping) {
                bool goOn = true;
                if (carried.isEmpty()) {
                    const QByteArrayView raw(p, eol - p);
                    if (raw.size() <= kMaxLineBytes && wanted(raw))
                        goOn = onLine(decodeCp932(raw));
                } else {
                    carried.append(p, eol - p);
                    if (carried.size() <= kMaxLineBytes && wanted(carried))
                        goOn = onLine(decodeCp932(carried));
                    carried.resize(0);
                }
                if (!goOn)
                    return true;
            }
            skipping = false;
            p = eol + 1;
            if (*eol == '\r') {
                if (p == end)
                    pendingCr = true;
                else if (*p == '\n')
                    ++p;
            }
        }
        if (p < end && !skipping) {
            carried.append(p, end - p);
            if (carried.size() > kMaxLineBytes) {
                carried.clear();
                skipping = true;
            }
        }
    }
    if (!skipping && !carried.isEmpty() && wanted(carried))
        onLine(decodeCp932(carried));
    return true;
}

} // namespace zelmora
