#include "core/files/atomic_file.h"

#include "core/files/file_descriptor.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

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
            if (::linkat(AT_FDCWD, proc.constData(), dirFd, name->constData(), AT_SYMLINK_FOLLOW)
                == 0)
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
    const QByteArray folder = slash < 0 ? QByteArray(".")
        : slash == 0                    ? QByteArray("/")
                                        : nativePath.left(slash);
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

} // namespace zelmora
