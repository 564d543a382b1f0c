#include "core/preview/preview_sandbox.h"

#include "core/model/texts.h"
#include "core/preview/preview_pages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>

#include <algorithm>
#include <sys/stat.h>

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
    // A FIFO or a device would block or never end the engine's read.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return isInside(path, pageFolder)
        || isInside(path, QDir(pageFolder).filePath(kPreviewPicturePath));
}

std::optional<QUrl> linkForSystem(const QUrl &url)
{
    if (!url.isValid())
        return std::nullopt;
    const QString scheme = url.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (url.host().isEmpty())
            return std::nullopt;
        return url;
    }
    if (scheme != QLatin1String("mailto"))
        return std::nullopt;
    // The addresses as the mail program will read them, decoded: a "?" or
    // "&" hidden as %3F or %26 would start a query of the mail program's
    // own (attach=…), a control character a header.
    const QString to = url.path(QUrl::FullyDecoded);
    if (to.isEmpty() || !url.host().isEmpty() || std::any_of(to.begin(), to.end(), [](QChar c) {
            return c == u'?' || c == u'&' || c.category() == QChar::Other_Control;
        }))
        return std::nullopt;
    // The subject on one line, the body with its line breaks; both decoded
    // and encoded again whole, so no line break is left for a header.
    const QUrlQuery given(url);
    QStringList kept;
    for (const char *key : {"subject", "body"}) {
        // The first of each, in whatever letter case the page wrote it.
        for (const auto &[name, value] : given.queryItems(QUrl::FullyDecoded)) {
            if (name.compare(QLatin1String(key), Qt::CaseInsensitive) != 0)
                continue;
            QString text;
            for (QChar c : value) {
                if (c == u'\n' && key[0] == 'b')
                    text += QStringLiteral("\r\n");
                else if (c.category() != QChar::Other_Control)
                    text += c;
                else if (key[0] == 's')
                    text += u' ';
            }
            kept << QString::fromLatin1(key) + u'='
                    + QString::fromLatin1(QUrl::toPercentEncoding(text));
            break;
        }
    }
    QUrl out;
    out.setScheme(QStringLiteral("mailto"));
    out.setPath(url.path(QUrl::FullyEncoded), QUrl::StrictMode);
    if (!kept.isEmpty())
        out.setQuery(kept.join(u'&'), QUrl::StrictMode);
    return out.isValid() ? std::optional<QUrl>(out) : std::nullopt;
}

QString linkRefusedMessage(const QUrl &url)
{
    return Texts::tr("このリンクはプレビューから開けません。\n開けるのは http、https と mailto の"
                     "リンクだけです。\n%1")
        .arg(url.toDisplayString().left(200));
}

} // namespace zelmora
