#include "core/files/atomic_file.h"

#include "core/files/file_descriptor.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
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

// How a file system says that it lacks a way of doing something (a hard
// link on exFAT or FAT gives EPERM, RENAME_NOREPLACE through an old FUSE
// gives EINVAL), as opposed to the thing failing.
bool lacksTheWay(int error)
{
    return error == EOPNOTSUPP || error == ENOSYS || error == EINVAL || error == EPERM;
}

// A file system that reports a full disk or a failing device only when the
// data is flushed does so here.
int syncData(int fd)
{
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The file being written in the folder: unnamed, or named and removed unless
// it was renamed into place.
struct Temporary {
    int dir = -1;
    int fd = -1;
    QByteArray name; // empty while the file has no name of its own

    explicit Temporary(int folder) : dir(folder) {}
    Temporary(const Temporary &) = delete;
    Temporary &operator=(const Temporary &) = delete;
    ~Temporary()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty())
            ::unlinkat(dir, name.constData(), 0);
    }
};

// Gives the unnamed file a name in the folder. The /proc form needs no
// privilege; AT_EMPTY_PATH does, and is tried first only because /proc may
// be missing. EEXIST only when the name is taken.
int linkUnnamed(int fd, int dir, const QByteArray &name)
{
    if (::linkat(fd, "", dir, name.constData(), AT_EMPTY_PATH) == 0)
        return 0;
    if (errno != ENOENT && errno != EPERM)
        return errno;
    const QByteArray proc = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, proc.constData(), dir, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    return errno;
}

// The unnamed file under a fresh hidden name.
int linkUnnamedHidden(Temporary &file)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name = temporaryName();
        const int error = linkUnnamed(file.fd, file.dir, name);
        if (error == 0)
            file.name = name;
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

int createNamed(Temporary &file, mode_t mode)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name = temporaryName();
        file.fd
            = ::openat(file.dir, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (file.fd >= 0) {
            file.name = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Moves the named file to a name that must stay free: RENAME_NOREPLACE,
// else a hard link, else (exFAT, FAT through FUSE: neither) the name claimed
// by an empty file of this program's own, then replaced by the rename.
int moveToFreeName(Temporary &file, const QByteArray &name)
{
    if (::renameat2(file.dir, file.name.constData(), file.dir, name.constData(), RENAME_NOREPLACE)
        == 0) {
        file.name.clear();
        return 0;
    }
    if (!lacksTheWay(errno))
        return errno;
    if (::linkat(file.dir, file.name.constData(), file.dir, name.constData(), 0) == 0)
        return 0; // the temporary name goes with file
    if (!lacksTheWay(errno))
        return errno;
    const FileDescriptor claim(::openat(file.dir, name.constData(),
                                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                                        0600));
    if (claim.get() < 0)
        return errno;
    if (::renameat(file.dir, file.name.constData(), file.dir, name.constData()) == 0) {
        file.name.clear();
        return 0;
    }
    const int error = errno;
    // Only the empty file this call made, should the name hold it still.
    struct stat mine {};
    struct stat there {};
    if (::fstat(claim.get(), &mine) == 0
        && ::fstatat(file.dir, name.constData(), &there, AT_SYMLINK_NOFOLLOW) == 0
        && mine.st_dev == there.st_dev && mine.st_ino == there.st_ino)
        ::unlinkat(file.dir, name.constData(), 0);
    return error;
}

enum class AtTheName { Replace, KeepFree };

// 0 or the errno of a write that fails.
int storeFile(const QByteArray &nativePath, const ContentWriter &content, AtTheName atTheName,
              TemporaryFile temporary)
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
        if (atTheName == AtTheName::KeepFree)
            return EEXIST;
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

    bool tryUnnamed = temporary == TemporaryFile::Unnamed;
    for (;;) {
        // An unnamed file disappears by itself when the program is killed
        // while writing it; only a finished file ever gets a name.
        Temporary file(dir.get());
        if (tryUnnamed)
            file.fd = ::openat(dir.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        const bool unnamed = file.fd >= 0;
        // Otherwise a named file, private until it has the mode of the file
        // it replaces.
        if (!unnamed) {
            if (const int error = createNamed(file, keepMode ? 0600 : 0666))
                return error;
        }
        // A file system without Unix permissions (exFAT, FAT) gives every
        // file the mode of its mount and may refuse any other.
        if (keepMode && ::fchmod(file.fd, mode) != 0 && !lacksTheWay(errno))
            return errno;
        if (const int error = content(file.fd))
            return error;
        if (const int error = syncData(file.fd))
            return error;

        if (atTheName == AtTheName::KeepFree) {
            if (!unnamed)
                return moveToFreeName(file, name);
            // link() never replaces: a file that appeared meanwhile stays.
            const int error = linkUnnamed(file.fd, dir.get(), name);
            if (error == 0 || !(lacksTheWay(error) || error == ENOENT))
                return error;
        } else {
            const int error = unnamed ? linkUnnamedHidden(file) : 0;
            if (error == 0) {
                // rename() replaces the name itself, whatever it holds (a
                // link included), in one step: the folder shows the old file
                // or the new one.
                if (::renameat(dir.get(), file.name.constData(), dir.get(), name.constData()) != 0)
                    return errno;
                file.name.clear();
                return 0;
            }
            if (!(lacksTheWay(error) || error == ENOENT))
                return error;
        }
        // An unnamed file that cannot be given a name (no hard links here,
        // or no /proc): written again as a named one.
        tryUnnamed = false;
    }
}

std::optional<FileError> result(const QString &path, int error)
{
    if (error)
        return FileError::fromErrno(path, error);
    return std::nullopt;
}

} // namespace

std::optional<FileError> writeWholeFile(const QString &path, const QByteArray &bytes,
                                        TemporaryFile temporary)
{
    const ContentWriter content = [&bytes](int fd) { return writeAll(fd, bytes); };
    return result(path, storeFile(QFile::encodeName(path), content, AtTheName::Replace, temporary));
}

std::optional<FileError> writeNewFile(const QString &path, const ContentWriter &content,
                                      TemporaryFile temporary)
{
    return result(path,
                  storeFile(QFile::encodeName(path), content, AtTheName::KeepFree, temporary));
}

} // namespace zelmora
