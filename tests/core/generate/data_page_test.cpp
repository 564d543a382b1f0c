#include "core/generate/data_page.h"
#include "support/record_editor.h"

#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

// Rows 1..17 of the data page for the title abc.
QByteArray headRows()
{
    return sjisFile({
        "<html>",
        "<head>",
        "<style type=\"Text/css\"><!--",
        "span#param3{font-size:12pt;family:ＭＳゴシック;}",
        "span#param4{font-size:8pt;family:ＭＳゴシック;}",
        "--></style>",
        "<title>abc_data</title>",
        "<script language=\"JavaScript\"><!--",
        "function OpenSub(URL,E){var x = GetPosX(E)-285;var y = GetPosY(E)-175;OpenNearWin(URL,x,y);}",
        "function OpenNearWin(URL,X,Y){NewWin = window.open(URL, 'nearwin', 'left='+X+',top='+Y+',width=320,height=170');NewWin.focus();}",
        "function GetPosX(E){if( document.all )return window.event.screenX;else if ( document.layers || document.getElementById )return E.screenX;}",
        "function GetPosY(E){if( document.all )return window.event.screenY;else if( document.layers || document.getElementById )return E.screenY;}",
        "// --></script>",
        "</head>",
        "<body>",
        "<table border=\"1\"align=\"center\">",
        "<tr><th>PAGE NUMBER</th><th>PAGE TITLE</th><th>CONTENTS</th></tr>",
    });
}

// Rows 19..51 for the title abc and the extension .htm.
QByteArray tailRows()
{
    return sjisFile({
        "</table>",
        "<table border=\"0\"align=\"center\">",
        "<tr><td><span id=\"param3\">動作テスト</span></td></tr>",
        "<tr><td><a href=\"javascript:void(0)\"onClick =\"OpenSub('abc_1.htm',event)\"><span id=\"param3\">abcpages</span></a></td></tr>",
        "</table>",
        "<table border=\"0\"align=\"center\">",
        "<tr bgcolor=ffffcc><td><xmp>",
        "<html>",
        "<head>",
        "<title></title>",
        "<script language=\"JavaScript\"><!--",
        "function OpenSub(URL,E){var x = GetPosX(E)-285;var y = GetPosY(E)-175;OpenNearWin(URL,x,y);}",
        "function OpenNearWin(URL,X,Y){NewWin = window.open(URL, 'nearwin', 'left='+X+',top='+Y+',width=320,height=170');NewWin.focus();}",
        "function GetPosX(E){if( document.all )return window.event.screenX;else if( document.layers || document.getElementById )return E.screenX;}",
        "function GetPosY(E){if( document.all )return window.event.screenY;else if( document.layers || document.getElementById )return E.screenY;}",
        "// --></script>",
        "</head>",
        "</xmp></td></tr>",
        "<tr><td>",
        "<span id=\"param4\"><font color=FF0000>上のソースコードをリンクを張るページに貼り付ける｡</font></span>",
        "</td></tr>",
        "<tr bgcolor=ffffcc><td><xmp>",
        "<a href=\"javascript:void(0)\"onClick =\"OpenSub('abc_1.htm',event)\">abcpages</a>",
        "</xmp></td></tr>",
        "<tr><td>",
        "<span id=\"param4\"><font color=FF0000>このソースコードをリンクを張る部分に貼り付ける｡</font></span>",
        "</td></tr>",
        "<tr><td>",
        "<BR><BR><span id=\"param4\"><font color=000000>この動作テストを WindowsXP SP2 環境（初期状態）でおこなうと、InternetExplorer の『セキュリティ警告』が表示されます。<BR>これは、ローカル環境下で JavaScript を動かそうとすると、 Windows のセキュリティがはたらいてしまう為で、Webサーバー上では問題なく動作します｡</font></span>",
        "</td></tr>",
        "</table>",
        "</body>",
        "</html>",
    });
}

struct DataPageFixture : testing::Test {
    QTemporaryDir dir;
    QString folder = dir.path() + u'/';
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;

    void SetUp() override
    {
        state.lastTitle = QStringLiteral("abc");
        state.extension = QStringLiteral(".htm");
        editor.set().title = QStringLiteral("abc");
        editor.set().page(1).kind = PageKind::Text;
        editor.set().page(1).text = QStringLiteral("kept until written");
    }

    // The data page's part of the create road: written, then the closing
    // steps; a page that cannot be written is reported instead.
    bool writeDataPage(int openAfterCreate, int n)
    {
        if (auto error = writeDataPageFile(n, state, folder)) {
            desktop.warning(error->writeMessage());
            return false;
        }
        finishDataPage(openAfterCreate, editor, state, folder, desktop);
        return true;
    }
};

} // namespace

TEST_F(DataPageFixture, threePageSetHasFiftyThreeLinesByteForByte)
{
    state.contents(1) = QStringLiteral("Text");
    state.contents(2) = QStringLiteral("IMG　　a.gif　　cat　　115*150");
    state.contents(3) = QStringLiteral("IMG　　w.gif　　ワイド　　115*250");
    state.contents(4) = QStringLiteral("from an older set, not listed");
    ASSERT_TRUE(writeDataPage(0, 3));

    const QByteArray expected = headRows()
        + sjisFile({
            "<tr><td><span id=\"param3\">PAGE1</span></td><td><span id=\"param3\">abc_1.htm</span></td><td><span id=\"param3\">Text</span></td></tr>",
            "<tr><td><span id=\"param3\">PAGE2</span></td><td><span id=\"param3\">abc_2.htm</span></td><td><span id=\"param3\">IMG　　a.gif　　cat　　115*150</span></td></tr>",
            "<tr><td><span id=\"param3\">PAGE3</span></td><td><span id=\"param3\">abc_3.htm</span></td><td><span id=\"param3\">IMG　　w.gif　　ワイド　　115*250</span></td></tr>",
        })
        + tailRows();
    const QByteArray actual = readAll(folder + QStringLiteral("abc_data.htm"));
    EXPECT_TRUE(sameBytes(expected, actual));
    EXPECT_EQ(actual.count("\r\n"), 53);
    // The ideographic spaces are CP932 81 40.
    EXPECT_TRUE(actual.contains("IMG\x81\x40\x81\x40" "a.gif\x81\x40\x81\x40" "cat\x81\x40\x81\x40" "115*150"));
}

TEST_F(DataPageFixture, reportsThenOpensThenClearsTheEditor)
{
    state.contents(1) = QStringLiteral("Text");
    ASSERT_TRUE(writeDataPage(1, 1));
    const QList<Call> expected = {
        {Call::Information, QStringLiteral("データページ[abc_data.htm] を作成しました｡")},
        {Call::Open, folder + QStringLiteral("abc_data.htm")},
    };
    EXPECT_EQ(desktop.calls, expected);
    PageSet cleared;
    resetPageSet(cleared);
    EXPECT_EQ(editor.pageSet(), cleared);
}

TEST_F(DataPageFixture, otherOpenValuesDoNotOpenTheBrowser)
{
    for (int open : {0, 2, -1}) {
        desktop.calls.clear();
        editor.set().title = QStringLiteral("abc");
        ASSERT_TRUE(writeDataPage(open, 1));
        ASSERT_EQ(desktop.calls.size(), 1) << open;
        EXPECT_EQ(desktop.calls[0].kind, Call::Information);
        EXPECT_TRUE(editor.pageSet().title.isEmpty());
    }
}

TEST_F(DataPageFixture, htmlExtensionNamesEveryFile)
{
    state.extension = QStringLiteral(".html");
    state.contents(1) = QStringLiteral("Text");
    ASSERT_TRUE(writeDataPage(0, 1));
    const QByteArray bytes = readAll(folder + QStringLiteral("abc_data.html"));
    EXPECT_TRUE(bytes.contains("<span id=\"param3\">abc_1.html</span>"));
    EXPECT_EQ(bytes.count("OpenSub('abc_1.html',event)"), 2);
}

TEST_F(DataPageFixture, unwritablePageIsReportedAndTheEditorKept)
{
    ASSERT_TRUE(QDir().mkdir(folder + QStringLiteral("abc_data.htm")));
    const PageSet before = editor.pageSet();
    EXPECT_FALSE(writeDataPage(1, 1));
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, Call::Warning);
    EXPECT_TRUE(desktop.calls[0].text.contains(QStringLiteral("abc_data.htm")));
    EXPECT_EQ(editor.pageSet(), before);
}
