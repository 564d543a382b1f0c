// Fixed output: the strings below are the bytes of every HTML5 page and data
// page; the page reader and published sets rely on them. Do not tidy, wrap
// or reorder these lines (formatting is off for this file).
// clang-format off

#include "core/generate/html5_page.h"

#include "core/generate/data_page.h"
#include "core/text/half_width.h"

#include <algorithm>
#include <cmath>

namespace zelmora {

namespace {

// The CSS every popup page shares. The page is a column the height of the
// window: the text or picture scrolls inside its own box when it is longer
// than the window, so the page itself never scrolls and the buttons stay
// in view. Buttons are 44 pixels square at least, a finger's size on a phone.
const QString kPageStyle[] = {
    QStringLiteral("html{height:100%}"),
    QStringLiteral("body{margin:0;height:100%;display:flex;flex-direction:column;font:16px/1.5 sans-serif;color:#000;background-color:#fff;background-repeat:repeat}"),
    QStringLiteral("body.dark{color:#fff}"),
    QStringLiteral("main{flex:1 1 auto;min-height:0;overflow:auto;padding:12px 12px 0}"),
    QStringLiteral("#text{overflow-wrap:anywhere}"),
    QStringLiteral("body.picture #text{display:inline-block;padding:2px 6px;color:#000;background-color:rgba(255,255,255,.85)}"),
    QStringLiteral("#picture{display:block;max-width:100%;height:auto}"),
    QStringLiteral("nav{display:flex;align-items:center;justify-content:flex-end;gap:8px;padding:8px 12px}"),
    QStringLiteral("nav a{display:inline-flex;align-items:center;justify-content:center;box-sizing:border-box;min-width:44px;min-height:44px;padding:0 14px;border:1px solid #555;border-radius:6px;color:#000;background-color:#f2f2f2;text-decoration:none;white-space:nowrap}"),
    QStringLiteral("nav a:focus-visible{outline:3px solid #1a5fb4;outline-offset:2px}"),
    QStringLiteral("#home{display:block;margin-right:auto;overflow:hidden;text-overflow:ellipsis;line-height:42px;color:#0b4f9c;text-decoration:underline}"),
};

// The one script of a page. Page 1 notes how long the tab's history was
// when the set was entered; 閉じる closes a popup window, and otherwise goes
// back to the page before page 1 when there is one (the visitor came by the
// pasted link on a phone, or from a search result), or follows its link to
// page 1. Nothing here throws when there is no opener.
QString pageScript(int k)
{
    return QStringLiteral("<script>(function(){var k=") + QString::number(k)
        + QStringLiteral(";try{if(k===1)sessionStorage.setItem('popleaf',String(history.length));}catch(e){}"
                         "var c=document.getElementById('close');if(!c)return;"
                         "c.addEventListener('click',function(e){if(window.opener){e.preventDefault();window.close();return;}"
                         "var s=0;try{s=Number(sessionStorage.getItem('popleaf'))||0;}catch(x){}"
                         "if(s>1){e.preventDefault();history.go(s-history.length-1);}});})();</script>");
}

// The pasted function: a popup beside the click on a desktop; on a narrow
// or touch screen, where a popup would be a new tab, the link opens the page
// in the same tab, and 閉じる comes back.
QString openFunction()
{
    return QStringLiteral("function popleafOpen(a,e){if(window.matchMedia&&window.matchMedia('(max-width: 600px), (pointer: coarse)').matches)return true;"
                          "var w=") + QString::number(kHtml5PopupWidth) + QStringLiteral(",h=") + QString::number(kHtml5PopupHeight)
        + QStringLiteral(",x=Math.max(0,e.screenX-w+40),y=Math.max(0,e.screenY-h-10);"
                         "var p=window.open(a.href,'popleaf','popup,width='+w+',height='+h+',left='+x+',top='+y);"
                         "if(!p)return true;p.focus();return false;}");
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A background colour as CSS takes it: "#rgb" or "#rrggbb" (the hash added
// to six bare digits, as browsers read the old attribute), or a colour name
// of letters only. Anything else sets no colour: the value stands in a
// style attribute and must not bring in other properties.
QString cssColour(const QString &typed)
{
    const QString value = toHalfWidth(typed).trimmed();
    const bool hash = value.startsWith(u'#');
    const QStringView digits = QStringView(value).mid(hash ? 1 : 0);
    if ((digits.size() == 6 || (hash && digits.size() == 3))
        && std::all_of(digits.begin(), digits.end(), isHexDigit))
        return u'#' + digits.toString();
    if (!value.isEmpty() && value.size() <= 20
        && std::all_of(value.begin(), value.end(), [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }))
        return value;
    return QString();
}

// Whether black text would be hard to read on the colour: its relative
// luminance below the point where white text reads better.
bool isDark(const QString &css)
{
    if (!css.startsWith(u'#'))
        return false;
    QString hex = css.mid(1);
    if (hex.size() == 3)
        hex = QString(hex[0]) + hex[0] + hex[1] + hex[1] + hex[2] + hex[2];
    auto channel = [&](int i) {
        const double v = hex.mid(i * 2, 2).toInt(nullptr, 16) / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * channel(0) + 0.7152 * channel(1) + 0.0722 * channel(2);
    return luminance < 0.179;
}

// A file name inside CSS url("..."), once it is a URL: only a backslash or
// a quote could end it, and urlOfFileName encodes both.
QString bodyLine(const PageSet &set, const QString &picturePath)
{
    if (set.backgroundKind == BackgroundKind::Picture) {
        QString line = kHtml5BodyPicture + escapeHtml(set.backgroundValue) + QStringLiteral("\" class=\"picture\"");
        if (!set.backgroundValue.isEmpty())
            line += QStringLiteral(" style=\"background-image:url(&quot;") + escapeHtml(picturePath + urlOfFileName(set.backgroundValue))
                + QStringLiteral("&quot;)\"");
        return line + u'>';
    }
    QString line = kHtml5BodyColour + escapeHtml(set.backgroundValue) + u'"';
    const QString colour = cssColour(set.backgroundValue);
    if (isDark(colour))
        line += QStringLiteral(" class=\"dark\"");
    if (!colour.isEmpty())
        line += QStringLiteral(" style=\"background-color:") + colour + u'"';
    return line + u'>';
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

QStringList pageLines(const QString &title, int k, const PageSet &set, const Page &page,
                      const QString &picturePath, const QStringList &extraHead, const QStringList &nav)
{
    QStringList lines = headLines(title + u'_' + QString::number(k), extraHead);
    lines << QStringLiteral("<style>");
    for (const QString &rule : kPageStyle)
        lines << rule;
    lines << QStringLiteral("</style>") << QStringLiteral("</head>") << bodyLine(set, picturePath)
          << QStringLiteral("<main>")
          << (page.kind == PageKind::Text ? textLine(page.text) : pictureLine(page, picturePath))
          << QStringLiteral("</main>") << nav << QStringLiteral("</body>") << QStringLiteral("</html>");
    return lines;
}

} // namespace

QString escapeHtml(const QString &text)
{
    QString out = escapeName(text);
    return out.replace(u'\'', QStringLiteral("&#39;"));
}

QString unescapeHtml(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semicolon = text.at(i) == u'&' ? text.indexOf(u';', i) : -1;
        if (semicolon < 0 || semicolon - i > 10) {
            out += text.at(i);
            continue;
        }
        const QStringView name = QStringView(text).mid(i + 1, semicolon - i - 1);
        char32_t code = 0;
        if (name == u"amp") code = u'&';
        else if (name == u"lt") code = u'<';
        else if (name == u"gt") code = u'>';
        else if (name == u"quot") code = u'"';
        else if (name == u"apos") code = u'\'';
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const uint number = name.startsWith(u"#x") || name.startsWith(u"#X") ? name.mid(2).toUInt(&ok, 16)
                                                                                : name.mid(1).toUInt(&ok, 10);
            if (ok && number > 0 && number <= 0x10FFFF && (number < 0xD800 || number > 0xDFFF))
                code = char32_t(number);
        }
        if (!code) {
            out += text.at(i);
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semicolon;
    }
    return out;
}

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
    QStringList nav{QStringLiteral("<nav>")};
    if (p.settings.robotsMode == 2)
        nav << QStringLiteral("<a id=\"home\" href=\"") + escapeHtml(p.settings.homeURL) + QStringLiteral("\">")
                + escapeHtml(p.settings.homeName) + QStringLiteral("</a>");
    if (p.linked)
        nav << QStringLiteral("<a id=\"next\" href=\"") + escapeHtml(urlOfFileName(popupPageFileName(p.title, p.k + 1, p.ext)))
                + QStringLiteral("\">次へ</a>");
    else
        nav << kHtml5Close + QStringLiteral(" href=\"") + escapeHtml(urlOfFileName(popupPageFileName(p.title, 1, p.ext)))
                + QStringLiteral("\">閉じる</a>");
    nav << QStringLiteral("</nav>") << pageScript(p.k);
    return pageLines(p.title, p.k, set, set.page(p.k), QString(), head, nav);
}

QStringList html5PreviewLines(const QString &title, int k, const PageSet &set, const QString &picturePath)
{
    return pageLines(title, k, set, set.page(k), picturePath, {}, {});
}

QStringList html5DataPageLines(const EditorState &state, int n)
{
    const QString &title = state.lastTitle;
    const QString first = escapeHtml(urlOfFileName(popupPageFileName(title, 1, state.extension)));
    const QString link = QStringLiteral("<a href=\"") + first + QStringLiteral("\" onclick=\"return popleafOpen(this,event)\">")
        + escapeHtml(title) + QStringLiteral("pages</a>");

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
          << QStringLiteral("<p id=\"test\">") + link.left(2) + QStringLiteral(" id=\"test-link\"") + link.mid(2) + QStringLiteral("</p>")
          << QStringLiteral("<h2>1. 次のコードを、リンクを張るページの &lt;head&gt; の中に貼り付けます</h2>")
          << QStringLiteral("<pre id=\"paste-head\">&lt;script&gt;")
          << escapeHtml(openFunction())
          << QStringLiteral("&lt;/script&gt;</pre>")
          << QStringLiteral("<h2>2. 次のコードを、リンクを張る部分に貼り付けます</h2>")
          << QStringLiteral("<pre id=\"paste-link\">") + escapeHtml(link) + QStringLiteral("</pre>")
          << QStringLiteral("<p>パソコンではクリックした場所のそばに ") + QString::number(kHtml5PopupWidth) + u'×' + QString::number(kHtml5PopupHeight)
                 + QStringLiteral(" のポップアップウィンドウで開きます。スマートフォンなど画面の狭い端末や、スクリプトが動かないときは、同じタブでページを開き、最後のページの「閉じる」で元のページに戻ります。</p>")
          << QStringLiteral("</main>")
          << QStringLiteral("</body>")
          << QStringLiteral("</html>");
    return lines;
}

} // namespace zelmora
