#include "preview/preview_cleanup.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

QStringList removePreviewFiles(const QString &tempFolder, const QStringList &ownPages)
{
    QStringList removed;
    const QStringList names = QDir(tempFolder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        if (name.startsWith(u'.') && !ownPages.contains(name))
            continue;
        const QByteArray path = QFile::encodeName(QDir(tempFolder).filePath(name));
        // lstat: a link is judged as a link, never by its target.
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0)
            continue;
        if (S_ISLNK(st.st_mode)) {
            struct stat target {};
            if (::stat(path.constData(), &target) == 0 && S_ISDIR(target.st_mode))
                continue; // shows as a subfolder
        } else if (!S_ISREG(st.st_mode)) {
            continue;
        }
        if (::unlink(path.constData()) == 0)
            removed << name;
    }
    return removed;
}

} // namespace zelmora
