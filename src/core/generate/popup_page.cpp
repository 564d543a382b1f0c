// Fixed output: the strings below are the bytes of every popup page, down
// to their missing spaces between attributes. Published sets and the page
// reader rely on them; do not tidy, wrap or reorder (formatting is off for
// this file).
// clang-format off

#include "core/generate/popup_page.h"

#include "core/text/half_width.h"

namespace zelmora {

QString bodyAttribute(const QString &attributeName, const QString &value)
{
    return toHalfWidth(attributeName + u'"') + escapeName(toHalfWidth(value)) + u'"';
}

QString replaceLineBreaks(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("<BR>"));
    return out;
}

QString popupPageFileName(const QString &title, int k, const QString &ext)
{
    return title + u'_' + QString::number(k) + ext;
}

QString pictureFile(const Page &page)
{
    return page.kind == PageKind::WidePicture ? page.wideFile : page.standardFile;
}

QString pictureAlt(const Page &page)
{
    return page.kind == PageKind::WidePicture ? page.wideAlt : page.standardAlt;
}

QStringList popupPageLines(const PopupPage &p)
{
    const QString q = QStringLiteral("\"");
    const QString title = escapeName(p.title);
    const QString next = title + u'_' + QString::number(p.k + 1) + escapeName(p.ext);
    const bool robots = p.settings.robotsMode == 1 || p.settings.robotsMode == 2;
    QStringList lines;
    lines.reserve(32);

    lines << QStringLiteral("<html>") << QStringLiteral("<head>");
    if (robots) {
        const QString content = p.settings.robotsMode == 1 ? QStringLiteral("NOINDEX, NOFOLLOW")
                                                           : QStringLiteral("INDEX, FOLLOW");
        lines << QStringLiteral("<META NAME=\"ROBOTS\" CONTENT=\"") + content + q + u'>';
    }
    lines << QStringLiteral("<style type=\"Text/css\"><!--")
          << QStringLiteral("span#param2{font-size:12pt;family:ＭＳゴシック;}")
          << QStringLiteral("span#param3{font-size:12pt;family:ＭＳゴシック;}")
          << QStringLiteral("--></style>")
          << QStringLiteral("<title>") + title + u'_' + QString::number(p.k) + QStringLiteral("</title>")
          << QStringLiteral("<script language=\"JavaScript\"><!--");
    if (p.linked) {
        lines << kOpenSubLine << kOpenNearWinLine << kGetPosXLine << kGetPosYLine
              << QStringLiteral("function Check(URL,E){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) OpenSub(URL,E);}")
              << QStringLiteral("else {if(!window.opener.closed) OpenSub(URL,E);}}");
    } else {
        lines << QStringLiteral("function Check_E(){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) self.close();}")
              << QStringLiteral("else {if(!window.opener.closed) self.close();}}");
    }
    lines << QStringLiteral("// --></script>") << QStringLiteral("</head>");
    if (p.linked)
        lines << QStringLiteral("<body ") + p.body + QStringLiteral(" onblur=\"Check('") + next + QStringLiteral("',event)\">");
    else
        lines << QStringLiteral("<body ") + p.body + QStringLiteral(" onblur=\"Check_E()\">");
    lines << QStringLiteral("<table border=\"0\">")
          << QStringLiteral("<tr><td width=\"320\" height=\"120\" valign=\"top\">");
    if (p.kind == PageKind::Text) {
        lines << QStringLiteral("<span id=\"param3\">") + p.text + QStringLiteral("</span>");
    } else {
        const QString width = p.kind == PageKind::WidePicture ? QStringLiteral("250") : QStringLiteral("150");
        lines << QStringLiteral("<img src=\"") + escapeName(p.file) + QStringLiteral("\" width=\"") + width
                + QStringLiteral("\" height=\"115\" alt=\"") + escapeName(p.alt) + QStringLiteral("\">");
    }
    lines << QStringLiteral("</td></tr>")
          << QStringLiteral("<tr><td align=\"right\">")
          << QStringLiteral("<form>");
    if (p.linked)
        lines << QStringLiteral("<input type=\"button\" value=\"次へ\" onClick=\"Check('") + next + QStringLiteral("',event)\">");
    else
        lines << QStringLiteral("<input type=\"button\" value=\"閉じる\" onClick=\"Check_E()\">");
    lines << QStringLiteral("</form>") << QStringLiteral("</td></tr>") << QStringLiteral("</table>");
    if (p.settings.robotsMode == 2) {
        lines << QStringLiteral("<BR><BR>")
              << QStringLiteral("<span id=\"param2\"><A HREF=\"") + p.settings.homeURL + QStringLiteral("\">")
                     + p.settings.homeName + QStringLiteral("</A></span>");
    }
    lines << QStringLiteral("</body>") << QStringLiteral("</html>");
    return withCharsetDeclaration(std::move(lines), p.encoding);
}

std::optional<FileError> writePopupPage(const QString &outFolder, const PopupPage &page)
{
    return writePageLines(outFolder + popupPageFileName(page.title, page.k, page.ext),
                          popupPageLines(page), page.encoding);
}

QString previewBodyAttribute(const PageSet &set, const QString &picturePath)
{
    const QString value = set.backgroundKind == BackgroundKind::Picture
        ? picturePath + set.backgroundValue
        : set.backgroundValue;
    return bodyAttribute(set.backgroundAttribute, value);
}

QStringList previewPageLines(const QString &title, int k, const QString &body, const Page &page,
                             const QString &picturePath, PageEncoding encoding)
{
    QStringList lines;
    lines.reserve(17);
    lines << QStringLiteral("<html>") << QStringLiteral("<head>")
          << QStringLiteral("<style type=\"Text/css\"><!--")
          << QStringLiteral("span#param3{font-size:12pt;family:ＭＳゴシック;}")
          << QStringLiteral("--></style>")
          << QStringLiteral("<title>") + escapeName(title) + u'_' + QString::number(k) + QStringLiteral("</title>")
          << QStringLiteral("</head>")
          << QStringLiteral("<body ") + body + QStringLiteral(" scroll=\"no\">")
          << QStringLiteral("<table border=\"0\">")
          << QStringLiteral("<tr><td width=\"320\" height=\"120\" valign=\"top\">");
    if (page.kind == PageKind::Text) {
        lines << QStringLiteral("<span id=\"param3\">") + replaceLineBreaks(page.text) + QStringLiteral("</span>");
    } else {
        const QString width = page.kind == PageKind::WidePicture ? QStringLiteral("250") : QStringLiteral("150");
        lines << QStringLiteral("<img src=\"") + picturePath + escapeName(pictureFile(page))
                + QStringLiteral("\" width=\"") + width + QStringLiteral("\" height=\"115\" alt=\"")
                + escapeName(pictureAlt(page)) + QStringLiteral("\">");
    }
    lines << QStringLiteral("</td></tr>") << QStringLiteral("<tr><td align=\"right\">")
          << QStringLiteral("</td></tr>") << QStringLiteral("</table>")
          << QStringLiteral("</body>") << QStringLiteral("</html>");
    return withCharsetDeclaration(std::move(lines), encoding);
}

} // namespace zelmora
