#include "core/preview/preview_cleanup.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace zelmora {
namespace {

// The folder's own entry: a trailing "/" would make the system follow a
// link found there.
QByteArray folderEntry(const QString &folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return QFile::encodeName(path);
}

// The folder opened without following a link at its own name; -1 when it is
// a link or cannot be opened.
int openFolder(const QString &folder)
{
    return ::open(folderEntry(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

} // namespace

bool temporaryFolderIsALink(const QString &tempFolder)
{
    struct stat st {};
    return ::lstat(folderEntry(tempFolder).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

PreviewPageFiles PreviewPageFiles::record(const QString &folder, const QStringList &names)
{
    PreviewPageFiles files;
    const int dir = openFolder(folder);
    if (dir < 0)
        return files;
    struct stat st {};
    if (::fstat(dir, &st) == 0) {
        files.m_folder = folder;
        files.m_folderDevice = st.st_dev;
        files.m_folderInode = st.st_ino;
        for (const QString &name : names) {
            struct stat page {};
            if (::fstatat(dir, QFile::encodeName(name).constData(), &page, AT_SYMLINK_NOFOLLOW) == 0
                && S_ISREG(page.st_mode))
                files.m_files.push_back({name, page.st_dev, page.st_ino});
        }
    }
    ::close(dir);
    return files;
}

QStringList PreviewPageFiles::remove()
{
    QStringList removed;
    const std::vector<File> files = std::exchange(m_files, {});
    if (files.empty())
        return removed;
    const int dir = openFolder(m_folder);
    if (dir < 0)
        return removed;
    struct stat st {};
    if (::fstat(dir, &st) == 0 && st.st_dev == m_folderDevice && st.st_ino == m_folderInode) {
        for (const File &file : files) {
            const QByteArray name = QFile::encodeName(file.name);
            struct stat page {};
            if (::fstatat(dir, name.constData(), &page, AT_SYMLINK_NOFOLLOW) == 0
                && S_ISREG(page.st_mode) && page.st_dev == file.device && page.st_ino == file.inode
                && ::unlinkat(dir, name.constData(), 0) == 0)
                removed << file.name;
        }
    }
    ::close(dir);
    return removed;
}

QStringList PreviewPageFiles::names() const
{
    QStringList list;
    for (const File &file : m_files)
        list << file.name;
    return list;
}

} // namespace zelmora
