#include "reliability_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdarg>
#include <mutex>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora::test {

QMap<QString, QString> folderTree(const QString &root)
{
    QMap<QString, QString> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = path.mid(root.size() + 1);
        const QFileInfo info = it.fileInfo();
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
            tree.insert(relative, QStringLiteral("gone"));
        } else if (S_ISLNK(st.st_mode)) {
            tree.insert(relative, QStringLiteral("l -> ") + info.symLinkTarget());
        } else if (S_ISDIR(st.st_mode)) {
            tree.insert(relative, QStringLiteral("d"));
        } else if (S_ISFIFO(st.st_mode)) {
            tree.insert(relative, QStringLiteral("p"));
        } else {
            QFile file(path);
            QCryptographicHash hash(QCryptographicHash::Sha1);
            if (file.open(QIODevice::ReadOnly))
                hash.addData(&file);
            tree.insert(relative, QStringLiteral("f ") + QString::fromLatin1(hash.result().toHex()));
        }
    }
    return tree;
}

QStringList changedPaths(const QMap<QString, QString> &before, const QMap<QString, QString> &after)
{
    QStringList changed;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (after.value(it.key()) != it.value())
            changed << it.key();
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!before.contains(it.key()))
            changed << it.key();
    }
    changed.sort();
    return changed;
}

QStringList entryNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                      | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void makeFifo(const QString &path)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
}

namespace {

qint64 statusKilobytes(const QByteArray &field)
{
    // A /proc file reports size 0, so it is read to its end, not by its size.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

} // namespace

qint64 residentMemoryBytes() { return statusKilobytes("VmRSS"); }

qint64 peakMemoryBytes() { return statusKilobytes("VmHWM"); }

void resetPeakMemory()
{
    // "5" resets the peak to the present resident size (Linux 4.0 and later).
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

namespace {

std::mutex watchesMutex;
QList<OpenWatch *> watches; // guarded by watchesMutex

} // namespace

OpenWatch::OpenWatch(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return;
    m_device = st.st_dev;
    m_inode = st.st_ino;
    m_refuse = !S_ISREG(st.st_mode);
    std::lock_guard lock(watchesMutex);
    watches.append(this);
}

OpenWatch::~OpenWatch()
{
    std::lock_guard lock(watchesMutex);
    watches.removeOne(this);
}

bool OpenWatch::allowOpen(int folder, const char *path, int flags)
{
    std::lock_guard lock(watchesMutex);
    struct stat st {};
    if (watches.isEmpty() || !path
        || ::fstatat(folder, path, &st, (flags & O_NOFOLLOW) ? AT_SYMLINK_NOFOLLOW : 0) != 0)
        return true;
    for (OpenWatch *watch : std::as_const(watches)) {
        if (watch->m_device == st.st_dev && watch->m_inode == st.st_ino) {
            ++watch->m_opens;
            if (watch->m_refuse) {
                errno = EACCES;
                return false;
            }
        }
    }
    return true;
}

namespace {

std::atomic<bool> faultsActive{false};
std::mutex faultsMutex; // guards the two below
QList<SystemFault> faultRules;
QList<std::pair<std::thread::id, QByteArray>> syncsSeen;

} // namespace

SystemFaults::SystemFaults(QList<SystemFault> faults)
{
    std::lock_guard lock(faultsMutex);
    faultRules = std::move(faults), syncsSeen.clear(), faultsActive = true;
}

SystemFaults::~SystemFaults() { faultsActive = false; }

QList<std::pair<std::thread::id, QByteArray>> SystemFaults::syncs() const
{
    std::lock_guard lock(faultsMutex);
    return syncsSeen;
}

QList<SystemFault> likeExfat(const QByteArray &folder)
{
    return {{SystemCall::UnnamedOpen, EOPNOTSUPP, folder}, {SystemCall::Link, EPERM, folder},
            {SystemCall::RenameNoReplace, EINVAL, folder}};
}

int SystemFaults::fail(SystemCall call, int folder, const char *name)
{
    if (!faultsActive)
        return 0;
    char buffer[4096] = {};
    const QByteArray base = folder == AT_FDCWD ? QByteArray(::getcwd(buffer, sizeof buffer))
        : ::readlink(("/proc/self/fd/" + QByteArray::number(folder)).constData(), buffer, sizeof buffer) > 0
        ? QByteArray(buffer) : QByteArray();
    const QByteArray path = name && name[0] == '/' ? QByteArray(name) : name && *name ? base + '/' + name : base;
    std::lock_guard lock(faultsMutex);
    if (call == SystemCall::Sync)
        syncsSeen.append({std::this_thread::get_id(), path});
    for (SystemFault &rule : faultRules) {
        if (rule.call == call && path.contains(rule.pathPart)) {
            errno = rule.error;
            return -1;
        }
    }
    return 0;
}

// 2000-01-01: older than a day, so a file system mounted relatime (the
// default) records the next read too.
constexpr timespec kUnread{946684800, 0};

bool markUnread(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const timespec times[2] = {kUnread, {0, UTIME_OMIT}};
    // A read of its own first, to learn whether reads are recorded here.
    const bool recorded = ::utimensat(AT_FDCWD, name.constData(), times, 0) == 0 && !readAll(path).isEmpty()
        && readSinceMarked(path);
    return ::utimensat(AT_FDCWD, name.constData(), times, 0) == 0 && recorded;
}

bool readSinceMarked(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_atim.tv_sec != kUnread.tv_sec;
}


} // namespace zelmora::test

namespace {

template <class Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

// This process's opens (the program's own and Qt's), seen by the open
// watches first. The mode follows the flags where they create a file.
#define ZELMORA_WATCHED_OPEN(function, folder, ...)                                                \
    mode_t mode = 0;                                                                               \
    if (flags & (O_CREAT | O_TMPFILE)) {                                                           \
        va_list rest;                                                                              \
        va_start(rest, flags);                                                                     \
        mode = va_arg(rest, mode_t);                                                               \
        va_end(rest);                                                                              \
    }                                                                                              \
    static const auto real = next<decltype(&::function)>(#function);                               \
    using zelmora::test::SystemCall, zelmora::test::SystemFaults;                                  \
    if (((flags & O_TMPFILE) == O_TMPFILE && SystemFaults::fail(SystemCall::UnnamedOpen, folder, path)) \
        || ((flags & (O_WRONLY | O_RDWR)) && SystemFaults::fail(SystemCall::OpenForWriting, folder, path))) \
        return -1;                                                                                 \
    return zelmora::test::OpenWatch::allowOpen(folder, path, flags) ? real(__VA_ARGS__, flags, mode) : -1;

extern "C" int open(const char *path, int flags, ...) { ZELMORA_WATCHED_OPEN(open, AT_FDCWD, path) }
extern "C" int open64(const char *path, int flags, ...) { ZELMORA_WATCHED_OPEN(open64, AT_FDCWD, path) }
extern "C" int openat(int folder, const char *path, int flags, ...)
{
    ZELMORA_WATCHED_OPEN(openat, folder, folder, path)
}

using zelmora::test::SystemCall, zelmora::test::SystemFaults;

// The calls the fault rules take, each failed or passed on to the C library.
#define ZELMORA_FAULTED(type, function, call, folder, name, parameters, arguments)                    \
    extern "C" type function parameters                                                            \
    {                                                                                              \
        static const auto real = next<decltype(&::function)>(#function);                           \
        return SystemFaults::fail(call, folder, name) ? -1 : real arguments;                       \
    }
ZELMORA_FAULTED(ssize_t, read, SystemCall::Read, fd, "", (int fd, void *b, size_t n), (fd, b, n))
ZELMORA_FAULTED(ssize_t, write, SystemCall::Write, fd, "", (int fd, const void *b, size_t n), (fd, b, n))
ZELMORA_FAULTED(int, fdatasync, SystemCall::Sync, fd, "", (int fd), (fd))
ZELMORA_FAULTED(int, linkat, SystemCall::Link, to, name, (int from, const char *p, int to, const char *name, int f),
                (from, p, to, name, f))
ZELMORA_FAULTED(int, renameat2, (f & RENAME_NOREPLACE) ? SystemCall::RenameNoReplace : SystemCall(-1), to, name,
                (int from, const char *p, int to, const char *name, unsigned f), (from, p, to, name, f))
