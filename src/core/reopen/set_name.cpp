#include "core/reopen/set_name.h"

namespace zelmora {
namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "_" + one digit + ext at the end of name.
bool endsWithPageSuffix(const QString &name, QStringView ext)
{
    const qsizetype n = name.size();
    const qsizetype len = ext.size() + 2;
    return n >= len && name.endsWith(ext) && isAsciiDigit(name[n - len + 1])
        && name[n - len] == u'_';
}

} // namespace

std::optional<SetName> matchSetName(const QString &fileName)
{
    const QString htm = QStringLiteral(".htm");
    const QString html = QStringLiteral(".html");
    const QString dataHtm = QStringLiteral("_data.htm");
    const QString dataHtml = QStringLiteral("_data.html");

    // The order matters only in principle: no name ends in both ".htm" and
    // ".html", so at most one pattern of each extension can match.
    if (endsWithPageSuffix(fileName, htm))
        return SetName{fileName.chopped(htm.size() + 2), htm};
    if (fileName.endsWith(dataHtm))
        return SetName{fileName.chopped(dataHtm.size()), htm};
    if (endsWithPageSuffix(fileName, html))
        return SetName{fileName.chopped(html.size() + 2), html};
    if (fileName.endsWith(dataHtml))
        return SetName{fileName.chopped(dataHtml.size()), html};
    return std::nullopt;
}

} // namespace zelmora
