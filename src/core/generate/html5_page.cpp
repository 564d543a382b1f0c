// Fixed output: the strings below are the bytes of every HTML5 page and data
// page; the page reader and published sets rely on them. Do not tidy, wrap
// or reorder these lines (formatting is off for this file).
// clang-format off

#include "core/generate/html5_page.h"

#include "core/generate/css_colour.h"
#include "core/generate/data_page.h"
#include "core/generate/html5_script.h"
#include "core/text/half_width.h"


namespace zelmora {

namespace {

// The CSS every popup page shares. The page is a column the height of the
// window: the text or picture scrolls inside its own box when it is longer
// than the window, so the page itself never scrolls and the buttons stay
// in view. Buttons are 44 pixels square at least, a finger's size on a phone.
// The heading is for screen readers only. The focus ring has two tones, black
// within white, so that one of them stands out on any background; the home
// link wraps on a light patch of its own instead of being cut.
const QString kPageStyle[] = {
    QStringLiteral("html{height:100%}"),
    QStringLiteral("body{margin:0;height:100%;display:flex;flex-direction:column;font:16px/1.5 sans-serif;color:#000;background-color:#fff;background-repeat:repeat}"),
    QStringLiteral("main{flex:1 1 auto;min-height:0;overflow:auto;padding:12px 12px 0}"),
    QStringLiteral("h1{position:absolute;width:1px;height:1px;margin:-1px;padding:0;border:0;overflow:hidden;clip:rect(0,0,0,0);white-space:nowrap}"),
    QStringLiteral("#text{overflow-wrap:anywhere}"),
    QStringLiteral("#text a{color:inherit}"),
    QStringLiteral("#picture{display:block;max-width:100%;height:auto}"),
    QStringLiteral("nav{display:flex;flex-wrap:wrap;align-items:center;justify-content:flex-end;gap:8px;padding:8px 12px}"),
    QStringLiteral("nav a{display:inline-flex;align-items:center;justify-content:center;box-sizing:border-box;min-width:44px;min-height:44px;padding:0 14px;border:1px solid #555;border-radius:6px;color:#000;background-color:#f2f2f2;text-decoration:none;white-space:nowrap}"),
    QStringLiteral("nav #home{flex:1 1 8em;justify-content:flex-start;min-width:0;margin-right:auto;padding:4px 8px;border:0;border-radius:4px;white-space:normal;overflow-wrap:anywhere;color:#0b4f9c;background-color:#fff;text-decoration:underline}"),
    QStringLiteral("nav a[hidden]{display:none}"),
    QStringLiteral("a:focus-visible{outline:3px solid #000;outline-offset:0;box-shadow:0 0 0 6px #fff}"),
    QStringLiteral("@media print{nav{display:none}}"),
};

// A URL in ASCII: the file name as urlOfFileName gives it, each byte of a
// character beyond ASCII percent-encoded, as a browser sends it anyway.
QString asciiUrlOfFileName(const QString &name)
{
    QString out;
    for (const char c : urlOfFileName(name).toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80)
            out += QLatin1Char(char(byte));
        else
            out += QStringLiteral("%%1").arg(byte, 2, 16, QChar(u'0')).toUpper();
    }
    return out;
}

// The rules of one set: its background, the text colour that reads on it and
// the colour scheme that goes with that.
QStringList setStyle(const PageSet &set, const QString &picturePath)
{
    if (set.backgroundKind == BackgroundKind::Picture) {
        QStringList rules{QStringLiteral(":root{color-scheme:light}"),
                          QStringLiteral("#text{display:inline-block;padding:2px 6px;color:#000;background-color:rgba(255,255,255,.85)}")};
        if (!set.backgroundValue.isEmpty())
            rules << QStringLiteral("body{background-image:url(\"") + asciiUrlOfFileName(picturePath + set.backgroundValue)
                    + QStringLiteral("\")}");
        return rules;
    }
    const auto colour = cssColour(set.backgroundValue);
    if (!colour)
        return {QStringLiteral(":root{color-scheme:light}")};
    const bool light = wantsLightText(colour->luminance);
    return {light ? QStringLiteral(":root{color-scheme:dark}") : QStringLiteral(":root{color-scheme:light}"),
            QStringLiteral("body{background-color:") + colour->css + (light ? QStringLiteral(";color:#fff}") : QStringLiteral("}"))};
}

QStringList styleRules(const PageSet &set, const QString &picturePath)
{
    QStringList rules;
    for (const QString &rule : kPageStyle)
        rules << rule;
    return rules << setStyle(set, picturePath);
}

// The pasted function of the popup window: a popup beside the click on a
// desktop, by the link when the click came from the keyboard (which gives no
// pointer position); on a narrow or touch screen, where a popup would be a
// new tab, and for a click with a modifier key (a new tab or window the
// visitor asked for), the browser follows the link itself.
QString openFunction()
{
    return QStringLiteral("function popleafOpen(a,e){if(e.ctrlKey||e.shiftKey||e.metaKey||e.altKey||e.button)return true;"
                          "if(window.matchMedia&&window.matchMedia('(max-width: 600px), (pointer: coarse)').matches)return true;"
                          "var w=") + QString::number(kHtml5PopupWidth) + QStringLiteral(",h=") + QString::number(kHtml5PopupHeight)
        + QStringLiteral(",sx=e.screenX,sy=e.screenY;"
                         "if(!e.detail){var r=a.getBoundingClientRect();sx=window.screenX+window.outerWidth-window.innerWidth+r.left+r.width/2;sy=window.screenY+window.outerHeight-window.innerHeight+r.top;}"
                         "var x=Math.max(0,Math.round(sx-w+40)),y=Math.max(0,Math.round(sy-h-10));"
                         "var p=window.open(a.href,'popleaf','popup,width='+w+',height='+h+',left='+x+',top='+y);"
                         "if(!p)return true;p.focus();return false;}");
}

// The background is kept in a data attribute for the reader; the style
// file shows it.
QString bodyLine(const PageSet &set)
{
    if (set.backgroundKind == BackgroundKind::Picture)
        return kHtml5BodyPicture + escapeHtml(set.backgroundValue) + QStringLiteral("\">");
    return kHtml5BodyColour + escapeHtml(set.backgroundValue) + QStringLiteral("\">");
}

// Every line break as <br>, whatever its kind, so that the text stays on
// the one line the reader takes it from.
QString textLine(const QString &text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    out.replace(u'\r', QStringLiteral("<br>"));
    out.replace(u'\n', QStringLiteral("<br>"));
    return kHtml5TextStart + out + kHtml5TextEnd;
}

QString pictureLine(const Page &page, const QString &picturePath)
{
    const bool wide = page.kind == PageKind::WidePicture;
    return kHtml5PictureStart + escapeHtml(picturePath + urlOfFileName(pictureFile(page)))
        + QStringLiteral("\" width=\"") + (wide ? QStringLiteral("250") : QStringLiteral("150"))
        + QStringLiteral("\" height=\"115\" alt=\"") + escapeHtml(pictureAlt(page)) + QStringLiteral("\">");
}

QStringList headLines(const QString &title, const QStringList &extra)
{
    QStringList lines{QStringLiteral("<!DOCTYPE html>"),
                      QStringLiteral("<html lang=\"ja\">"),
                      QStringLiteral("<head>"),
                      QStringLiteral("<meta charset=\"UTF-8\">"),
                      QStringLiteral("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">")};
    lines << extra << QStringLiteral("<title>") + escapeHtml(title) + QStringLiteral("</title>");
    return lines;
}

// "春の便り (1/4)": the document's title and the page's heading.
QString pageHeading(const QString &title, int k, const PageSet &set)
{
    return QStringLiteral("%1 (%2/%3)").arg(title).arg(k).arg(pageCount(set)).trimmed();
}

QStringList pageLines(const QString &heading, const PageSet &set, const Page &page, const QString &picturePath,
                      const QStringList &extraHead, const QStringList &nav)
{
    QStringList lines = headLines(heading, extraHead);
    lines << QStringLiteral("</head>") << bodyLine(set) << QStringLiteral("<main>")
          << QStringLiteral("<h1 tabindex=\"-1\">") + escapeHtml(heading) + QStringLiteral("</h1>")
          << (page.kind == PageKind::Text ? textLine(page.text) : pictureLine(page, picturePath))
          << QStringLiteral("</main>") << nav << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines;
}

} // namespace

QString urlOfFileName(const QString &name)
{
    QString out;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        if (u < 0x21 || u == 0x7F || u == u'"' || u == u'#' || u == u'%' || u == u'?' || u == u'\''
            || u == u'\\' || u == u'<' || u == u'>' || u == u'`' || u == u'^' || u == u'{' || u == u'|' || u == u'}') {
            out += QStringLiteral("%%1").arg(u, 2, 16, QChar(u'0')).toUpper();
        } else {
            out += c;
        }
    }
    return out;
}

QStringList html5PageLines(const PopupPage &p, const PageSet &set)
{
    QStringList head;
    if (p.settings.robotsMode == 1)
        head << QStringLiteral("<meta name=\"robots\" content=\"noindex, nofollow\">");
    else if (p.settings.robotsMode == 2)
        head << QStringLiteral("<meta name=\"robots\" content=\"index, follow\">");
    head << QStringLiteral("<link rel=\"stylesheet\" href=\"") + escapeHtml(urlOfFileName(html5StyleFileName(p.title))) + QStringLiteral("\">")
         << QStringLiteral("<script src=\"") + escapeHtml(urlOfFileName(html5ScriptFileName(p.title))) + QStringLiteral("\" data-page=\"")
                + QString::number(p.k) + QStringLiteral("\" defer></script>");
    const bool home = p.settings.robotsMode == 2;
    QStringList nav{QStringLiteral("<nav>")};
    if (home)
        nav << QStringLiteral("<a id=\"home\" href=\"") + escapeHtml(p.settings.homeURL) + QStringLiteral("\">")
                + escapeHtml(p.settings.homeName) + QStringLiteral("</a>");
    // 閉じる never leads to a page of the set: without a script it goes to
    // the home link, or is hidden where the set has none; the script shows it
    // wherever there is a way back.
    if (p.linked)
        nav << QStringLiteral("<a id=\"next\" href=\"") + escapeHtml(urlOfFileName(popupPageFileName(p.title, p.k + 1, p.ext)))
                + QStringLiteral("\">次へ</a>");
    else if (home)
        nav << kHtml5Close + QStringLiteral(" href=\"") + escapeHtml(p.settings.homeURL) + QStringLiteral("\">閉じる</a>");
    else
        nav << kHtml5Close + QStringLiteral(" href=\"#\" hidden>閉じる</a>");
    nav << QStringLiteral("</nav>");
    return pageLines(pageHeading(p.title, p.k, set), set, set.page(p.k), QString(), head, nav);
}

QStringList html5PreviewLines(const QString &title, int k, const PageSet &set, const QString &picturePath)
{
    QStringList style{QStringLiteral("<style>")};
    style << styleRules(set, picturePath) << QStringLiteral("</style>");
    return pageLines(pageHeading(title, k, set), set, set.page(k), picturePath, style, {});
}

QByteArray html5StyleSheet(const PageSet &set)
{
    return (QStringLiteral("/* Zelmora page set style */\n") + styleRules(set, QString()).join(u'\n') + u'\n').toLatin1();
}

QStringList html5DataPageLines(const EditorState &state, int n)
{
    const QString &title = state.lastTitle;
    const QString first = escapeHtml(urlOfFileName(popupPageFileName(title, 1, state.extension)));
    const QString script = escapeHtml(urlOfFileName(html5ScriptFileName(title)));
    const QString name = escapeHtml(title) + QStringLiteral("pages");
    const QString scriptLine = QStringLiteral("<script src=\"") + script + QStringLiteral("\" defer></script>");
    const QString link = QStringLiteral("<a href=\"") + first + QStringLiteral("\">") + name + QStringLiteral("</a>");
    const QString windowLink = QStringLiteral("<a href=\"") + first + QStringLiteral("\" onclick=\"return popleafOpen(this,event)\">")
        + name + QStringLiteral("</a>");

    QStringList lines = headLines(title + QStringLiteral("_data"), {});
    lines << QStringLiteral("<style>")
          << QStringLiteral("body{margin:0 auto;max-width:48em;padding:16px;font:16px/1.6 sans-serif;color:#1a1a1a;background-color:#fff}")
          << QStringLiteral("h1{font-size:1.4em}")
          << QStringLiteral("h2{font-size:1.1em;margin-top:1.6em}")
          << QStringLiteral("table{border-collapse:collapse;width:100%}")
          << QStringLiteral("th,td{border:1px solid #767676;padding:4px 8px;text-align:left;overflow-wrap:anywhere}")
          << QStringLiteral("pre{white-space:pre-wrap;overflow-wrap:anywhere;padding:8px;border:1px solid #767676;background-color:#fff8dc}")
          << QStringLiteral("a{color:#0b4f9c}")
          << QStringLiteral("</style>")
          << scriptLine
          << QStringLiteral("<script>") << openFunction() << QStringLiteral("</script>")
          << QStringLiteral("</head>")
          << QStringLiteral("<body>")
          << QStringLiteral("<main>")
          << QStringLiteral("<h1>ポップリーフ「") + escapeHtml(title) + QStringLiteral("」</h1>")
          << QStringLiteral("<table>")
          << QStringLiteral("<tr><th scope=\"col\">PAGE NUMBER</th><th scope=\"col\">PAGE TITLE</th><th scope=\"col\">CONTENTS</th></tr>");
    for (int k = 1; k <= n; ++k) {
        lines << QStringLiteral("<tr><td>PAGE") + QString::number(k) + QStringLiteral("</td><td>")
                + escapeHtml(popupPageFileName(title, k, state.extension)) + QStringLiteral("</td><td>")
                + escapeHtml(state.contents(k)) + QStringLiteral("</td></tr>");
    }
    lines << QStringLiteral("</table>")
          << QStringLiteral("<h2>動作テスト</h2>")
          << QStringLiteral("<p id=\"test\"><a id=\"test-link\" href=\"") + first + QStringLiteral("\">") + name
                 + QStringLiteral("</a>（ページの中に開く） <a id=\"test-window\" href=\"") + first
                 + QStringLiteral("\" onclick=\"return popleafOpen(this,event)\">") + name + QStringLiteral("</a>（ウィンドウで開く）</p>")
          << QStringLiteral("<h2>1. 次のコードを、リンクを張るページの &lt;head&gt; の中に貼り付けます</h2>")
          << QStringLiteral("<pre id=\"paste-head\">") + escapeHtml(scriptLine) + QStringLiteral("</pre>")
          << QStringLiteral("<h2>2. 次のコードを、リンクを張る部分に貼り付けます</h2>")
          << QStringLiteral("<pre id=\"paste-link\">") + escapeHtml(link) + QStringLiteral("</pre>")
          << QStringLiteral("<p>リンクをクリックすると、同じページの中にセットが開きます（スマートフォンでは画面いっぱいに開きます）。「閉じる」、Esc キー、外側のクリックで閉じて、元のリンクに戻ります。スクリプトが動かないときや、新しいタブで開いたときは、ページが普通のページとして開きます。ページ、画像と一緒に、")
                 + escapeHtml(html5ScriptFileName(title)) + QStringLiteral(" と ") + escapeHtml(html5StyleFileName(title))
                 + QStringLiteral(" もページと同じフォルダーに置いてください。</p>")
          << QStringLiteral("<h2>別の方法: ポップアップウィンドウで開く</h2>")
          << QStringLiteral("<p>ページの横に別のウィンドウで開きたいときは、1. と 2. の代わりに次の二つを貼り付けます。パソコンではクリックした場所のそばに ")
                 + QString::number(kHtml5PopupWidth) + u'×' + QString::number(kHtml5PopupHeight)
                 + QStringLiteral(" のポップアップウィンドウで開きます。スマートフォンなど画面の狭い端末や、スクリプトが動かないときは、同じタブでページを開きます。</p>")
          << QStringLiteral("<pre id=\"paste-window-head\">&lt;script&gt;")
          << escapeHtml(openFunction())
          << QStringLiteral("&lt;/script&gt;</pre>")
          << QStringLiteral("<pre id=\"paste-window-link\">") + escapeHtml(windowLink) + QStringLiteral("</pre>")
          << QStringLiteral("</main>")
          << QStringLiteral("</body>")
          << QStringLiteral("</html>");
    return lines;
}

} // namespace zelmora
