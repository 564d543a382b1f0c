#include "core/preview/preview_sandbox.h"

#include "core/preview/preview_pages.h"

#include <QDir>
#include <QFileInfo>

namespace zelmora {
namespace {

bool isInside(const QString &canonicalPath, const QString &folder)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    return !root.isEmpty() && canonicalPath.startsWith(root + u'/');
}

} // namespace

bool previewMayLoad(const QUrl &url, const QString &pageFolder)
{
    if (url.scheme() == QLatin1String("data"))
        return true;
    if (!url.isLocalFile() || !url.host().isEmpty() || pageFolder.isEmpty())
        return false;
    const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
    if (path.isEmpty())
        return false; // missing: nothing to show, and nothing to learn about the disk
    return isInside(path, pageFolder)
        || isInside(path, QDir(pageFolder).filePath(kPreviewPicturePath));
}

bool opensInSystemBrowser(const QUrl &url)
{
    const QString scheme = url.scheme();
    return url.isValid()
        && (scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("mailto"));
}

} // namespace zelmora
