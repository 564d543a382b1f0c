// Fixed output: the preview pages are the popup pages with a few lines
// changed, which the strings below spell byte for byte; do not tidy or wrap
// them (formatting is off for this file).
// clang-format off

#include "core/preview/preview_pages.h"

#include "core/generate/html5_page.h"

#include <QDir>

namespace zelmora {

QString previewBodyAttribute(const PageSet &set)
{
    const QString value = set.backgroundKind == BackgroundKind::Picture
        ? kPreviewPicturePath + set.backgroundValue
        : set.backgroundValue;
    return bodyAttribute(set.backgroundAttribute, value);
}

QStringList previewPageLines(const QString &title, int k, const QString &body, const Page &page,
                             PageEncoding encoding)
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
        lines << QStringLiteral("<img src=\"") + kPreviewPicturePath + escapeName(pictureFile(page))
                + QStringLiteral("\" width=\"") + width + QStringLiteral("\" height=\"115\" alt=\"")
                + escapeName(pictureAlt(page)) + QStringLiteral("\">");
    }
    lines << QStringLiteral("</td></tr>") << QStringLiteral("<tr><td align=\"right\">")
          << QStringLiteral("</td></tr>") << QStringLiteral("</table>")
          << QStringLiteral("</body>") << QStringLiteral("</html>");
    return withCharsetDeclaration(std::move(lines), encoding);
}

std::optional<FileError> writePreviewPages(const PageSet &set, EditorState &state,
                                           const ProgramPaths &paths, PageEncoding encoding,
                                           PageFormat format, QStringList *written)
{
    QDir().mkpath(paths.previewFolder); // normally there already; a failure shows on writing
    state.lastTitle = set.title;
    const QString body = previewBodyAttribute(set);
    const int n = pageCount(set);
    for (int k = 1; k <= n; ++k) {
        const Page &page = set.page(k);
        const QString name = popupPageFileName(set.title, k, kPreviewExtension);
        const QString path = paths.previewFolder + name;
        const auto error = format == PageFormat::Html5
            ? writePageLines(path, html5PreviewLines(set.title, k, set, kPreviewPicturePath),
                             PageEncoding::Utf8)
            : writePageLines(path, previewPageLines(set.title, k, body, page, encoding), encoding);
        if (error)
            return error;
        if (written)
            *written << name;
        state.contents(k) = contentsDescription(page);
    }
    return std::nullopt;
}

} // namespace zelmora
