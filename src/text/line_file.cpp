#include "text/line_file.h"

#include "text/cp932.h"
#include "text/file_descriptor.h"
#include "text/page_encoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QVarLengthArray>

#include <algorithm>
#include <cerrno>
#include <csignal>
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
    return writeWholeFile(path, bytes);
}

std::optional<FileError> writeWholeFile(const QString &path, const QByteArray &bytes)
{
    // Unbuffered, so that every byte is handed to the system here, where a
    // short write shows. Buffered, the last bytes would only be written by
    // commit(), and QSaveFile (Qt 6.4) renames a file whose final flush
    // failed: a truncated page would replace the good one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return FileError{path, file.errorString()};
    qsizetype done = 0;
    while (done < bytes.size()) {
        // A short write without an error is followed by one that names it
        // (EFBIG, ENOSPC).
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            const QString reason = file.errorString();
            file.cancelWriting();
            return FileError{path, reason};
        }
        done += qsizetype(n);
    }
    if (!file.commit())
        return FileError{path, file.errorString()};
    return std::nullopt;
}

void reportFileSizeLimitAsWriteError()
{
    ::signal(SIGXFSZ, SIG_IGN);
}

namespace {

struct Marker {
    QByteArrayView bytes;
    qsizetype equals; // where its '=' is
};
// On the stack for the few markers a reader looks for.
using Markers = QVarLengthArray<Marker, 8>;

// Whether marker m stands in [begin, end) with its '=' at eq.
bool standsAt(const char *begin, const char *end, const char *eq, const Marker &m)
{
    const char *start = eq - m.equals;
    // The byte before '=' settles most places at once.
    return start >= begin && eq[-1] == m.bytes[m.equals - 1] && end - start >= m.bytes.size()
        && std::memcmp(start, m.bytes.data(), std::size_t(m.bytes.size())) == 0;
}

const Marker *markerAt(const char *begin, const char *end, const char *eq,
                       const Markers &markers)
{
    for (const Marker &m : markers) {
        if (standsAt(begin, end, eq, m))
            return &m;
    }
    return nullptr;
}

bool holdsMarker(QByteArrayView line, const Markers &markers)
{
    const char *const begin = line.data();
    const char *const end = begin + line.size();
    for (auto *eq = static_cast<const char *>(std::memchr(begin, '=', std::size_t(end - begin))); eq;
         eq = static_cast<const char *>(std::memchr(eq + 1, '=', std::size_t(end - eq - 1)))) {
        if (markerAt(begin, end, eq, markers))
            return true;
    }
    return false;
}

using LineDecoder = QString (*)(QByteArrayView);

const char *afterLastBreak(const char *begin, const char *at)
{
    const auto *cr = static_cast<const char *>(::memrchr(begin, '\r', std::size_t(at - begin)));
    const auto *lf = static_cast<const char *>(::memrchr(begin, '\n', std::size_t(at - begin)));
    const char *last = std::max(cr, lf); // nullptr when there is neither
    return last ? last + 1 : begin;
}

const char *firstBreak(const char *from, const char *end)
{
    const auto *cr = static_cast<const char *>(std::memchr(from, '\r', std::size_t(end - from)));
    const auto *lf = static_cast<const char *>(std::memchr(from, '\n', std::size_t(end - from)));
    return std::min(cr ? cr : end, lf ? lf : end);
}

// A whole file in one buffer: the lines holding a marker, in order, found
// from the '=' signs alone instead of walking every line. Lines are what
// lies between CR and LF bytes, as the line-by-line reading splits them (a
// line holding a marker is never the empty one between CR and LF); the file
// is smaller than a line may be long. Returns false when onLine stopped it.
bool handOnMarkedLines(const char *begin, const char *end, const Markers &markers,
                       LineDecoder decode, const std::function<bool(const QString &)> &onLine)
{
    const char *from = begin;
    while (const auto *eq = static_cast<const char *>(std::memchr(from, '=', std::size_t(end - from)))) {
        if (!markerAt(begin, end, eq, markers)) {
            from = eq + 1;
            continue;
        }
        const char *start = afterLastBreak(begin, eq);
        const char *stop = firstBreak(eq, end);
        if (!onLine(decode(QByteArrayView(start, stop - start))))
            return false;
        from = stop;
    }
    return true;
}

// detected, when given, asks for the encoding to be told from the file's
// first bytes (detectPageEncoding) and receives it before the first line is
// handed on; without it the file is CP932.
bool readLines(const QByteArray &nativePath, const Markers *markers,
               const std::function<bool(const QString &)> &onLine, PageEncoding *detected = nullptr)
{
    // O_NONBLOCK keeps open() from waiting on a FIFO; the type is then checked
    // on the opened descriptor, so nothing can be swapped in between.
    FileDescriptor fd(::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;

    auto wanted = [markers](QByteArrayView line) { return !markers || holdsMarker(line, *markers); };
    LineDecoder decode = decodeCp932;
    if (detected)
        *detected = PageEncoding::ShiftJis; // an empty file

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
        if (detected && total == 0) {
            *detected = detectPageEncoding(QByteArrayView(buffer, got));
            if (*detected == PageEncoding::Utf8)
                decode = decodeUtf8;
        }
        if (markers && total == 0 && got == size) {
            handOnMarkedLines(buffer, buffer + got, *markers, decode, onLine);
            return true;
        }
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
                        goOn = onLine(decode(raw));
                } else {
                    carried.append(p, eol - p);
                    if (carried.size() <= kMaxLineBytes && wanted(carried))
                        goOn = onLine(decode(carried));
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
        onLine(decode(carried));
    return true;
}

} // namespace

bool readCp932Lines(const QString &path, const std::function<bool(const QString &)> &onLine)
{
    return readLines(QFile::encodeName(path), nullptr, onLine);
}

bool readCp932LinesHolding(const QString &path, const QList<QByteArray> &markers,
                           const std::function<bool(const QString &)> &onLine)
{
    return readCp932LinesHolding(QFile::encodeName(path), markers, onLine);
}

namespace {

Markers anchoredMarkers(const QList<QByteArray> &markers)
{
    Markers anchored;
    for (const QByteArray &m : markers) {
        const qsizetype equals = m.indexOf('=');
        Q_ASSERT(equals > 0 && !m.contains('\r') && !m.contains('\n'));
        anchored.push_back({m, equals});
    }
    return anchored;
}

} // namespace

bool readCp932LinesHolding(const QByteArray &nativePath, const QList<QByteArray> &markers,
                           const std::function<bool(const QString &)> &onLine)
{
    const Markers anchored = anchoredMarkers(markers);
    return readLines(nativePath, &anchored, onLine);
}

bool readPageLinesHolding(const QByteArray &nativePath, const QList<QByteArray> &markers,
                          const std::function<bool(const QString &)> &onLine,
                          PageEncoding *encoding)
{
    const Markers anchored = anchoredMarkers(markers);
    PageEncoding found = PageEncoding::ShiftJis;
    return readLines(nativePath, &anchored, onLine, encoding ? encoding : &found);
}

} // namespace zelmora
