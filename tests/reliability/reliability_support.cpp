#include "reliability_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/inotify.h>
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

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
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

OpenWatch::OpenWatch(const QString &path)
{
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0)
        m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(),
                                      IN_OPEN | IN_DONT_FOLLOW);
}

OpenWatch::~OpenWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int OpenWatch::opens()
{
    int count = 0;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            return count;
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            if (event->mask & IN_OPEN)
                ++count;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
}


} // namespace zelmora::test
