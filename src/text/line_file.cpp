#include "text/line_file.h"

#include "text/cp932.h"
#include "text/file_descriptor.h"
#include "text/page_encoding.h"
#include "text/system_error.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
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

namespace {

// The name a finished file is linked under before it is renamed over the
// final one. Short, so that it fits wherever the final name fits, and
// hidden, so that no list of pages or pictures shows it.
QByteArray temporaryName()
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = ".zelmora-";
    for (int i = 0; i < 8; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return name;
}

// Hands every byte to the system and waits until it is stored: a short
// write without an error is followed by one that names it (EFBIG, ENOSPC),
// and a file system that reports a full disk only when the data is flushed
// does so in fdatasync. Returns 0 or the errno.
int writeAndSync(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += qsizetype(n);
    }
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Gives the unnamed file of fd a temporary name in the folder. The /proc
// form needs no privilege; AT_EMPTY_PATH does, and is tried first only
// because /proc may be missing.
int linkUnnamed(int fd, int dirFd, QByteArray *name)
{
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        *name = temporaryName();
        if (::linkat(fd, "", dirFd, name->constData(), AT_EMPTY_PATH) == 0)
            return 0;
        if (errno == ENOENT || errno == EPERM) {
            if (::linkat(AT_FDCWD, proc.constData(), dirFd, name->constData(), AT_SYMLINK_FOLLOW) == 0)
                return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// A new named file in the folder, for file systems without O_TMPFILE.
int createNamed(int dirFd, mode_t mode, QByteArray *name, int *fd)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        *name = temporaryName();
        *fd = ::openat(dirFd, name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (*fd >= 0)
            return 0;
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// 0 or the errno of a write that fails.
int replaceFile(const QByteArray &nativePath, const QByteArray &bytes, TemporaryFile temporary)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : nativePath.left(slash);
    const QByteArray name = nativePath.mid(slash + 1);

    // Every step names the file relative to this one folder, so the file
    // lands where it was checked even if the folder is renamed meanwhile.
    FileDescriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        return errno;

    // What the name holds now, never followed: a symbolic link is replaced
    // by the new file like anything else, and whatever it points to is
    // left alone. An existing file keeps its permissions, and one the user
    // may not write is not replaced, as an editor would refuse it.
    mode_t mode = 0666;
    bool keepMode = false;
    struct stat st {};
    if (::fstatat(dir.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(st.st_mode))
            return EISDIR;
        if (S_ISREG(st.st_mode)) {
            if (::faccessat(dir.get(), name.constData(), W_OK, AT_EACCESS) != 0)
                return errno;
            mode = st.st_mode & 0777;
            keepMode = true;
        }
    } else if (errno != ENOENT) {
        return errno;
    }

    // An unnamed file disappears by itself when the program is killed while
    // writing it; only a finished file ever gets a name in the folder.
    QByteArray tempName;
    int fd = temporary == TemporaryFile::Unnamed
        ? ::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666)
        : -1;
    const bool unnamed = fd >= 0;
    if (!unnamed) {
        // Not supported by the kernel or the file system: a named file,
        // removed on every failure below, private until it has the mode of
        // the file it replaces.
        if (const int error = createNamed(dir.get(), keepMode ? 0600 : 0666, &tempName, &fd))
            return error;
    }
    FileDescriptor file(fd);
    auto fail = [&](int error) {
        if (!tempName.isEmpty())
            ::unlinkat(dir.get(), tempName.constData(), 0);
        return error;
    };
    if (keepMode && ::fchmod(file.get(), mode) != 0)
        return fail(errno);
    if (const int error = writeAndSync(file.get(), bytes))
        return fail(error);
    if (unnamed) {
        if (const int error = linkUnnamed(file.get(), dir.get(), &tempName))
            return error;
    }
    // rename() replaces the name itself, whatever it holds (a link
    // included), in one step: the folder shows the old file or the new one.
    if (::renameat(dir.get(), tempName.constData(), dir.get(), name.constData()) != 0)
        return fail(errno);
    return 0;
}

} // namespace

std::optional<FileError> writeWholeFile(const QString &path, const QByteArray &bytes,
                                        TemporaryFile temporary)
{
    if (const int error = replaceFile(QFile::encodeName(path), bytes, temporary))
        return FileError{path, systemErrorText(error)};
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
