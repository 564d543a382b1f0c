#include "core/files/page_lines.h"

#include "core/files/atomic_file.h"
#include "core/files/file_descriptor.h"
#include "core/text/cp932.h"

#include <QFile>
#include <QVarLengthArray>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

std::optional<FileError> writePageLines(const QString &path, const QStringList &lines,
                                        PageEncoding encoding)
{
    return writeWholeFile(path, encodePageLines(lines, encoding));
}

namespace {

// On the stack for the few markers a reader looks for.
using Markers = QVarLengthArray<PageMarker, 8>;

const PageMarker *markerAt(const char *begin, const char *end, const char *eq,
                           const Markers &markers)
{
    for (const PageMarker &m : markers) {
        if (m.standsAt(begin, end, eq))
            return &m;
    }
    return nullptr;
}

bool holdsMarker(QByteArrayView line, const Markers &markers)
{
    const char *const begin = line.data();
    const char *const end = begin + line.size();
    for (auto *eq = static_cast<const char *>(std::memchr(begin, '=', std::size_t(end - begin)));
         eq; eq = static_cast<const char *>(std::memchr(eq + 1, '=', std::size_t(end - eq - 1)))) {
        if (markerAt(begin, end, eq, markers))
            return true;
    }
    return false;
}

using LineDecoder = QString (*)(QByteArrayView);

// CR, LF and CR LF end a line: the one rule of both ways of reading below.
// nextBreak gives the first CR or LF at or after from (end when there is
// none); the next CR and the next LF are each found once by memchr and kept
// in cr and lf until the reading has passed them, so a page of LF lines is
// not searched to its end for a CR at every line.
const char *nextBreak(const char *from, const char *end, const char *&cr, const char *&lf)
{
    const auto find = [from, end](char c) {
        const void *hit = std::memchr(from, c, std::size_t(end - from));
        return hit ? static_cast<const char *>(hit) : end;
    };
    if (cr < from)
        cr = find('\r');
    if (lf < from)
        lf = find('\n');
    return std::min(cr, lf);
}

// Where the line holding at starts: just after the last CR or LF before it.
const char *lineStart(const char *begin, const char *at)
{
    const auto *cr = static_cast<const char *>(::memrchr(begin, '\r', std::size_t(at - begin)));
    const auto *lf = static_cast<const char *>(::memrchr(begin, '\n', std::size_t(at - begin)));
    const char *last = std::max(cr, lf); // nullptr when there is neither
    return last ? last + 1 : begin;
}

// A whole file in one buffer: the lines holding a marker, in order, found
// from the '=' signs alone instead of walking every line. Lines are what
// lies between CR and LF bytes, as the line-by-line reading splits them (a
// line holding a marker is never the empty one between CR and LF); the file
// is smaller than a line may be long. Returns false when onLine stopped it.
bool handOnMarkedLines(const char *begin, const char *end, const Markers &markers,
                       LineDecoder decode, const std::function<bool(const QString &)> &onLine)
{
    const char *cr = nullptr;
    const char *lf = nullptr;
    const char *from = begin;
    while (const auto *eq
           = static_cast<const char *>(std::memchr(from, '=', std::size_t(end - from)))) {
        if (!markerAt(begin, end, eq, markers)) {
            from = eq + 1;
            continue;
        }
        const char *start = lineStart(begin, eq);
        const char *stop = nextBreak(eq, end, cr, lf);
        if (!onLine(decode(QByteArrayView(start, stop - start))))
            return false;
        from = stop;
    }
    return true;
}

// Opens a page without following a link at its name; a link is opened as
// the file it leads to only when that file lies inside the page's folder.
// O_NONBLOCK keeps open() from waiting on a FIFO; the caller checks the type
// on the opened descriptor, so nothing can be swapped in between.
int openPageFile(const QByteArray &nativePath, PageRefusal *refusal)
{
    constexpr int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW;
    const int fd = ::open(nativePath.constData(), flags);
    if (fd >= 0 || errno != ELOOP)
        return fd;
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1; // a link to nothing, a device or a FIFO: no page
    const qsizetype slash = nativePath.lastIndexOf('/');
    const QByteArray folder
        = slash < 0 ? QByteArray(".") : nativePath.left(std::max<qsizetype>(slash, 1));
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(nativePath.constData(), nullptr),
                                                     &std::free);
    std::unique_ptr<char, decltype(&std::free)> root(::realpath(folder.constData(), nullptr),
                                                     &std::free);
    if (!real || !root)
        return -1;
    const QByteArrayView rootPath(root.get());
    const QByteArrayView target(real.get());
    const bool inside = target.size() > rootPath.size() + 1 && target.startsWith(rootPath)
        && (rootPath.endsWith('/') || target[rootPath.size()] == '/');
    if (!inside) {
        *refusal = PageRefusal::LinkOutside;
        return -1;
    }
    return ::open(real.get(), flags);
}

// detected, when given, asks for the encoding to be told from the file's
// first bytes (detectPageEncoding) and receives it before the first line is
// handed on; without it the file is CP932.
bool readLines(const QByteArray &nativePath, const Markers &markers,
               const std::function<bool(const QString &)> &onLine, PageEncoding *detected,
               PageRefusal *refusal, int *readError)
{
    *refusal = PageRefusal::NotFound;
    const FileDescriptor fd(openPageFile(nativePath, refusal));
    if (fd.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (st.st_size > kMaxPageFileBytes) {
        *refusal = PageRefusal::TooLarge;
        return false;
    }
    *refusal = PageRefusal::None;

    auto wanted = [&markers](QByteArrayView line) { return holdsMarker(line, markers); };
    LineDecoder decode = decodeCp932;
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
            *readError = errno;
            *refusal = PageRefusal::ReadFailed;
            return false;
        }
        if (got == 0)
            break;
        if (total == 0) {
            *detected = detectPageEncoding(QByteArrayView(buffer, got));
            if (*detected == PageEncoding::Utf8)
                decode = decodeUtf8;
        }
        if (total == 0 && got == size) {
            handOnMarkedLines(buffer, buffer + got, markers, decode, onLine);
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
        const char *cr = nullptr;
        const char *lf = nullptr;
        while (p < end) {
            const char *eol = nextBreak(p, end, cr, lf);
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

namespace {

Markers anchoredMarkers(const QList<QByteArray> &markers)
{
    Markers anchored;
    for (const QByteArray &m : markers) {
        Q_ASSERT(!m.contains('\r') && !m.contains('\n'));
        anchored.push_back(PageMarker(m));
    }
    return anchored;
}

} // namespace

bool readPageLinesHolding(const QByteArray &nativePath, const QList<QByteArray> &markers,
                          const std::function<bool(const QString &)> &onLine,
                          PageEncoding *encoding, PageRefusal *refusal, int *readError)
{
    const Markers anchored = anchoredMarkers(markers);
    PageEncoding found = PageEncoding::ShiftJis;
    PageRefusal why = PageRefusal::None;
    int error = 0;
    return readLines(nativePath, anchored, onLine, encoding ? encoding : &found,
                     refusal ? refusal : &why, readError ? readError : &error);
}

} // namespace zelmora
