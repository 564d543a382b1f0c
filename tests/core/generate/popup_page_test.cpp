#include "core/generate/css_colour.h"
#include "core/generate/popup_page.h"
#include "core/generate/html5_page.h"
#include "core/generate/html5_script.h"

#include "support/file_compare.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

// The fixed head and script lines of the page format, written out here from
// the format's line table.
const char *const kHead[] = {
    "<style type=\"Text/css\"><!--",
    "span#param2{font-size:12pt;family:ＭＳゴシック;}",
    "span#param3{font-size:12pt;family:ＭＳゴシック;}",
    "--></style>",
};
const char *const kLinkedScript[] = {
    "<script language=\"JavaScript\"><!--",
    "function OpenSub(URL,E){var x = GetPosX(E)-285;var y = GetPosY(E)-175;OpenNearWin(URL,x,y);}",
    "function OpenNearWin(URL,X,Y){NewWin = window.open(URL, 'nearwin', 'left='+X+',top='+Y+',width=320,height=170');NewWin.focus();}",
    "function GetPosX(E){if( document.all )return window.event.screenX;else if( document.layers || document.getElementById )return E.screenX;}",
    "function GetPosY(E){if( document.all )return window.event.screenY;else if( document.layers || document.getElementById )return E.screenY;}",
    "function Check(URL,E){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) OpenSub(URL,E);}",
    "else {if(!window.opener.closed) OpenSub(URL,E);}}",
    "// --></script>",
    "</head>",
};
const char *const kLastScript[] = {
    "<script language=\"JavaScript\"><!--",
    "function Check_E(){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) self.close();}",
    "else {if(!window.opener.closed) self.close();}}",
    "// --></script>",
    "</head>",
};

struct Expected {
    QByteArray bytes;
    Expected &line(const QByteArray &l)
    {
        bytes += l + "\r\n";
        return *this;
    }
    Expected &line(const char *utf8) { return line(sjis(utf8)); }
    template <std::size_t N> Expected &lines(const char *const (&ls)[N])
    {
        for (const char *l : ls)
            line(l);
        return *this;
    }
};

// Builds the expected page: the caller supplies the body line and row 24/25.
QByteArray expectedPage(int robots, bool linked, const char *title_k, const QByteArray &body,
                        const QByteArray &content, const char *next = nullptr,
                        const char *home = nullptr)
{
    Expected e;
    e.line("<html>").line("<head>");
    if (robots == 1)
        e.line("<META NAME=\"ROBOTS\" CONTENT=\"NOINDEX, NOFOLLOW\">");
    if (robots == 2)
        e.line("<META NAME=\"ROBOTS\" CONTENT=\"INDEX, FOLLOW\">");
    e.lines(kHead);
    e.line(QByteArray("<title>") + sjis(title_k) + "</title>");
    if (linked)
        e.lines(kLinkedScript);
    else
        e.lines(kLastScript);
    e.line(body);
    e.line("<table border=\"0\">").line("<tr><td width=\"320\" height=\"120\" valign=\"top\">");
    e.line(content);
    e.line("</td></tr>").line("<tr><td align=\"right\">").line("<form>");
    if (linked)
        e.line(QByteArray("<input type=\"button\" value=\"") + sjis("次へ") + "\" onClick=\"Check('" + next + "',event)\">");
    else
        e.line(QByteArray("<input type=\"button\" value=\"") + sjis("閉じる") + "\" onClick=\"Check_E()\">");
    e.line("</form>").line("</td></tr>").line("</table>");
    if (robots == 2)
        e.line("<BR><BR>").line(home);
    e.line("</body>").line("</html>");
    return e.bytes;
}

PopupPage textPage(bool linked, int robots)
{
    PopupPage p;
    p.title = QStringLiteral("abc");
    p.k = 1;
    p.ext = QStringLiteral(".htm");
    p.linked = linked;
    p.settings = {robots, QStringLiteral("リンクページ名"), QStringLiteral("リンクページURL")};
    p.body = bodyAttribute(kInitialColourAttribute, QStringLiteral("#FFCC00"));
    p.kind = PageKind::Text;
    p.text = QStringLiteral("hello");
    return p;
}

QByteArray written(const PopupPage &page)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const auto error = writePopupPage(folder, page);
    EXPECT_FALSE(error) << (error ? error->reason.toStdString() : std::string());
    return readAll(folder + popupPageFileName(page.title, page.k, page.ext));
}

const char *const kHomeLink = "<span id=\"param2\"><A HREF=\"リンクページURL\">リンクページ名</A></span>";

} // namespace

class PopupPageRobots : public testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(PopupPageRobots, writesEveryRowOfTheFormat)
{
    const auto [linked, robots] = GetParam();
    const QByteArray body = linked
        ? QByteArray("<body BgColor=\"#FFCC00\" onblur=\"Check('abc_2.htm',event)\">")
        : QByteArray("<body BgColor=\"#FFCC00\" onblur=\"Check_E()\">");
    const QByteArray expected = expectedPage(robots == 1 || robots == 2 ? robots : 0, linked,
                                             "abc_1", body,
                                             "<span id=\"param3\">hello</span>", "abc_2.htm",
                                             kHomeLink);
    EXPECT_TRUE(sameBytes(expected, written(textPage(linked, robots))));
    const int rows = (linked ? 29 : 25) + (robots == 1 || robots == 2 ? 1 : 0) + (robots == 2 ? 2 : 0);
    EXPECT_EQ(popupPageLines(textPage(linked, robots)).size(), rows);
}

INSTANTIATE_TEST_SUITE_P(LinkedAndLastInEveryMode, PopupPageRobots,
                         testing::Combine(testing::Bool(), testing::Values(0, 1, 2, 3, -1)));

TEST(PopupPage, pictureKindsWriteTheirWidth)
{
    PopupPage p = textPage(false, 0);
    p.kind = PageKind::StandardPicture;
    p.file = QStringLiteral("a.gif");
    p.alt = QStringLiteral("cat");
    EXPECT_EQ(popupPageLines(p).at(15),
              QStringLiteral("<img src=\"a.gif\" width=\"150\" height=\"115\" alt=\"cat\">"));
    p.kind = PageKind::WidePicture;
    EXPECT_EQ(popupPageLines(p).at(15),
              QStringLiteral("<img src=\"a.gif\" width=\"250\" height=\"115\" alt=\"cat\">"));

    // A picture never chosen: an empty source and the default alternative text.
    p.kind = PageKind::StandardPicture;
    p.file.clear();
    p.alt = kDefaultAlt;
    const QByteArray expected = expectedPage(
        0, false, "abc_1", "<body BgColor=\"#FFCC00\" onblur=\"Check_E()\">",
        sjis("<img src=\"\" width=\"150\" height=\"115\" alt=\"ピクチャ名称\">"));
    EXPECT_TRUE(sameBytes(expected, written(p)));
}

TEST(PopupPage, bodyAttributeIsConvertedToHalfWidth)
{
    EXPECT_EQ(bodyAttribute(kInitialColourAttribute, QString()), QStringLiteral("BgColor=\"\""));
    // A background picture named in full-width katakana with voiced letters.
    EXPECT_EQ(bodyAttribute(kPictureAttribute, QStringLiteral("バックグラウンド．ｇｉｆ")),
              QString::fromUtf8("BackGround=\"ﾊﾞｯｸｸﾞﾗｳﾝﾄﾞ.gif\""));
    PopupPage p = textPage(true, 0);
    p.body = bodyAttribute(kPictureAttribute, QStringLiteral("バック.gif"));
    // ﾊﾞｯｸ in CP932: CA DE AF B8.
    EXPECT_TRUE(written(p).contains(
        QByteArray("<body BackGround=\"\xCA\xDE\xAF\xB8.gif\" onblur=\"Check('abc_2.htm',event)\">\r\n")));
}

TEST(PopupPage, textIsWrittenAsTypedWithLineBreaksAsBr)
{
    EXPECT_EQ(replaceLineBreaks(QStringLiteral("AB\r\nCD")), QStringLiteral("AB<BR>CD"));
    EXPECT_EQ(replaceLineBreaks(QStringLiteral("a\rb\nc\r\n\r\n")), QStringLiteral("a\rb\nc<BR><BR>"));
    PopupPage p = textPage(false, 0);
    p.text = replaceLineBreaks(QStringLiteral("<b>bold</b>\r\nline"));
    EXPECT_TRUE(written(p).contains("\r\n<span id=\"param3\"><b>bold</b><BR>line</span>\r\n"));
    p.text.clear();
    EXPECT_TRUE(written(p).contains("\r\n<span id=\"param3\"></span>\r\n"));
}

TEST(PopupPage, emojiAndHalfWidthKatakanaHaveTheirExactBytes)
{
    PopupPage p = textPage(false, 0);
    p.text = QStringLiteral("😀ｱ");
    EXPECT_TRUE(written(p).contains("<span id=\"param3\">&#128512;\xB1</span>\r\n"));
}

TEST(PopupPage, htmlExtensionReachesTheNameAndTheNextPage)
{
    PopupPage p = textPage(true, 0);
    p.k = 5;
    p.ext = QStringLiteral(".html");
    QTemporaryDir dir;
    ASSERT_FALSE(writePopupPage(dir.path() + u'/', p));
    const QByteArray bytes = readAll(dir.filePath(QStringLiteral("abc_5.html")));
    EXPECT_TRUE(bytes.contains("<body BgColor=\"#FFCC00\" onblur=\"Check('abc_6.html',event)\">\r\n"));
    EXPECT_TRUE(bytes.contains("onClick=\"Check('abc_6.html',event)\">\r\n"));
    EXPECT_TRUE(bytes.contains("<title>abc_5</title>\r\n"));
}

TEST(PopupPage, writeFailureComesBackWithThePath)
{
    QTemporaryDir dir;
    const QString missing = dir.path() + QStringLiteral("/none/");
    const auto error = writePopupPage(missing, textPage(false, 0));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, missing + QStringLiteral("abc_1.htm"));
}

// Whatever colour is typed, the text reads on it (the light text from a
// luminance below 0.179 on), and nothing typed brings in other CSS.
TEST(Html5Style, anyTypedColourGetsReadableTextAndNothingElse)
{
    const struct {
        const char *typed;
        const char *rule; // the set's body rule, or null for none
        bool dark;
    } cases[] = {
        {"navy", "body{background-color:navy;color:#fff}", true},
        {"ＮＡＶＹ", "body{background-color:navy;color:#fff}", true},
        {"Yellow", "body{background-color:yellow}", false},
        {"000080", "body{background-color:#000080;color:#fff}", true},
        {"#757575", "body{background-color:#757575;color:#fff}", true},
        {"#767676", "body{background-color:#767676}", false},
        {"lime", "body{background-color:lime}", false},                // green weighs most,
        {"#6060ff", "body{background-color:#6060ff}", false},          // blue least: 0.181
        {"#6060f0", "body{background-color:#6060f0;color:#fff}", true}, // 0.176
        {"notacolour", nullptr, false},
        {"red;color:red", nullptr, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        PageSet set;
        set.page(1).kind = PageKind::Text;
        set.backgroundValue = QString::fromUtf8(c.typed);
        const QStringList rules = QString::fromLatin1(html5StyleSheet(set)).split(u'\n');
        const QStringList body = rules.filter(QRegularExpression(QStringLiteral("^body\\{background")));
        EXPECT_EQ(body, c.rule ? QStringList{QString::fromLatin1(c.rule)} : QStringList());
        EXPECT_TRUE(rules.contains(c.dark ? QStringLiteral(":root{color-scheme:dark}") : QStringLiteral(":root{color-scheme:light}")));
    }
    // WCAG's own figures, which the windows' colours are measured by too.
    EXPECT_DOUBLE_EQ(contrastRatio(relativeLuminance(0, 0, 0), relativeLuminance(1, 1, 1)), 21.0);
    EXPECT_NEAR(contrastRatio(relativeLuminance(1, 1, 1), relativeLuminance(0x76 / 255.0, 0x76 / 255.0, 0x76 / 255.0)), 4.54, 0.005);
}

TEST(Html5Script, aTitleNeverEndsItsStringOrTheScript)
{
    const QString title = QStringLiteral("a\"b'c\\d</script><!--\u2028春");
    const QByteArray script = html5SetScript(title, QStringLiteral(".htm"));
    const QString literal = javaScriptString(title);
    EXPECT_EQ(literal, QStringLiteral("\"a\\u0022b\\u0027c\\u005cd\\u003c/script\\u003e\\u003c!--\\u2028\\u6625\""));
    EXPECT_TRUE(script.contains(("var title = " + literal).toLatin1()));
    for (const char c : script)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << "ASCII only";
}
