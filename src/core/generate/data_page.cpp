// Fixed output: every string below is a byte of the data page that sites
// already hold, down to its missing spaces between attributes and the
// order of its lines. Tests compare the page byte for byte; do not tidy,
// wrap or reorder these lines (formatting is off for this file).
// clang-format off

#include "core/generate/data_page.h"

#include "core/generate/popup_page.h"
#include "core/model/texts.h"

namespace zelmora {

QString dataPageFileName(const QString &title, const QString &ext)
{
    return title + QStringLiteral("_data") + ext;
}

QStringList dataPageLines(const EditorState &state, int n, PageEncoding encoding)
{
    // Names as markup holds them (escapeName), in the table, the link, the
    // code to paste and the page's own title.
    const QString title = escapeName(state.lastTitle);
    const QString ext = escapeName(state.extension);
    const QString openFirst = QStringLiteral("OpenSub('") + title + QStringLiteral("_1") + ext
        + QStringLiteral("',event)");
    // The data page's own GetPosX has a space after "else if"; the copy to
    // paste (kGetPosXLine) has none, like the popup pages.
    const QString getPosXWithSpace = QStringLiteral(
        "function GetPosX(E){if( document.all )return window.event.screenX;else if ( "
        "document.layers || document.getElementById )return E.screenX;}");

    QStringList lines;
    lines.reserve(50 + n);
    lines << QStringLiteral("<html>") << QStringLiteral("<head>")
          << QStringLiteral("<style type=\"Text/css\"><!--")
          << QStringLiteral("span#param3{font-size:12pt;family:ＭＳゴシック;}")
          << QStringLiteral("span#param4{font-size:8pt;family:ＭＳゴシック;}")
          << QStringLiteral("--></style>")
          << QStringLiteral("<title>") + title + QStringLiteral("_data</title>")
          << QStringLiteral("<script language=\"JavaScript\"><!--")
          << kOpenSubLine << kOpenNearWinLine << getPosXWithSpace << kGetPosYLine
          << QStringLiteral("// --></script>") << QStringLiteral("</head>")
          << QStringLiteral("<body>")
          << QStringLiteral("<table border=\"1\"align=\"center\">")
          << QStringLiteral("<tr><th>PAGE NUMBER</th><th>PAGE TITLE</th><th>CONTENTS</th></tr>");
    for (int k = 1; k <= n; ++k) {
        const QString number = QString::number(k);
        lines << QStringLiteral("<tr><td><span id=\"param3\">PAGE") + number
                + QStringLiteral("</span></td><td><span id=\"param3\">") + title + u'_' + number + ext
                + QStringLiteral("</span></td><td><span id=\"param3\">") + escapeName(state.contents(k))
                + QStringLiteral("</span></td></tr>");
    }
    lines << QStringLiteral("</table>")
          << QStringLiteral("<table border=\"0\"align=\"center\">")
          << QStringLiteral("<tr><td><span id=\"param3\">動作テスト</span></td></tr>")
          << QStringLiteral("<tr><td><a href=\"javascript:void(0)\"onClick =\"") + openFirst
                 + QStringLiteral("\"><span id=\"param3\">") + title
                 + QStringLiteral("pages</span></a></td></tr>")
          << QStringLiteral("</table>")
          << QStringLiteral("<table border=\"0\"align=\"center\">")
          << QStringLiteral("<tr bgcolor=ffffcc><td><xmp>")
          << QStringLiteral("<html>") << QStringLiteral("<head>") << QStringLiteral("<title></title>")
          << QStringLiteral("<script language=\"JavaScript\"><!--")
          << kOpenSubLine << kOpenNearWinLine << kGetPosXLine << kGetPosYLine
          << QStringLiteral("// --></script>") << QStringLiteral("</head>")
          << QStringLiteral("</xmp></td></tr>")
          << QStringLiteral("<tr><td>")
          << QStringLiteral("<span id=\"param4\"><font color=FF0000>上のソースコードをリンクを張るページに貼り付ける｡</font></span>")
          << QStringLiteral("</td></tr>")
          << QStringLiteral("<tr bgcolor=ffffcc><td><xmp>")
          << QStringLiteral("<a href=\"javascript:void(0)\"onClick =\"") + openFirst + QStringLiteral("\">")
                 + title + QStringLiteral("pages</a>")
          << QStringLiteral("</xmp></td></tr>")
          << QStringLiteral("<tr><td>")
          << QStringLiteral("<span id=\"param4\"><font color=FF0000>このソースコードをリンクを張る部分に貼り付ける｡</font></span>")
          << QStringLiteral("</td></tr>")
          << QStringLiteral("<tr><td>")
          << QStringLiteral("<BR><BR><span id=\"param4\"><font color=000000>この動作テストを WindowsXP SP2 環境（初期状態）でおこなうと、InternetExplorer の『セキュリティ警告』が表示されます。<BR>これは、ローカル環境下で JavaScript を動かそうとすると、 Windows のセキュリティがはたらいてしまう為で、Webサーバー上では問題なく動作します｡</font></span>")
          << QStringLiteral("</td></tr>")
          << QStringLiteral("</table>")
          << QStringLiteral("</body>")
          << QStringLiteral("</html>");
    return withCharsetDeclaration(std::move(lines), encoding);
}

std::optional<FileError> writeDataPageFile(int n, const EditorState &state,
                                           const QString &outFolder, PageEncoding encoding)
{
    return writePageLines(outFolder + dataPageFileName(state.lastTitle, state.extension),
                          dataPageLines(state, n, encoding), encoding);
}

void finishDataPage(int openAfterCreate, Editor &editor, const EditorState &state,
                    const QString &outFolder, Desktop &desktop)
{
    const QString name = dataPageFileName(state.lastTitle, state.extension);
    desktop.information(Texts::tr("データページ[%1] を作成しました｡").arg(name));
    if (openAfterCreate == 1)
        desktop.openUrl(QUrl::fromLocalFile(outFolder + name));
    editor.setTitle(QString());
    editor.resetEditor();
}

} // namespace zelmora
