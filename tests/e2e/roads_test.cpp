// The roads of the program as a user takes them, through the real main
// window, image picker, set picker, preview window and options dialog, with
// the desktop recorded.

#include "app/main_window.h"
#include "support/ui_test_support.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"
#include "support/in_process_preview.h"
#include "support/recording_browser.h"
#include "app/draft_keeper.h"
#include "core/files/draft_file.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QProcess>
#include <QUrl>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

// A 1 x 1 GIF.
const QByteArray kGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

const char *const kScript[] = {
    "function OpenSub(URL,E){var x = GetPosX(E)-285;var y = GetPosY(E)-175;OpenNearWin(URL,x,y);}",
    "function OpenNearWin(URL,X,Y){NewWin = window.open(URL, 'nearwin', 'left='+X+',top='+Y+',width=320,height=170');NewWin.focus();}",
    "function GetPosX(E){if( document.all )return window.event.screenX;else if( document.layers || document.getElementById )return E.screenX;}",
    "function GetPosY(E){if( document.all )return window.event.screenY;else if( document.layers || document.getElementById )return E.screenY;}",
};

QByteArray expectedPage1()
{
    return sjisFile({
        "<html>", "<head>", "<style type=\"Text/css\"><!--",
        "span#param2{font-size:12pt;family:ＭＳゴシック;}",
        "span#param3{font-size:12pt;family:ＭＳゴシック;}",
        "--></style>", "<title>abc_1</title>", "<script language=\"JavaScript\"><!--",
        kScript[0], kScript[1], kScript[2], kScript[3],
        "function Check(URL,E){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) OpenSub(URL,E);}",
        "else {if(!window.opener.closed) OpenSub(URL,E);}}",
        "// --></script>", "</head>",
        "<body BgColor=\"\" onblur=\"Check('abc_2.htm',event)\">",
        "<table border=\"0\">", "<tr><td width=\"320\" height=\"120\" valign=\"top\">",
        "<span id=\"param3\">一行目<BR>二行目</span>",
        "</td></tr>", "<tr><td align=\"right\">", "<form>",
        "<input type=\"button\" value=\"次へ\" onClick=\"Check('abc_2.htm',event)\">",
        "</form>", "</td></tr>", "</table>", "</body>", "</html>",
    });
}

QByteArray expectedPage2()
{
    return sjisFile({
        "<html>", "<head>", "<style type=\"Text/css\"><!--",
        "span#param2{font-size:12pt;family:ＭＳゴシック;}",
        "span#param3{font-size:12pt;family:ＭＳゴシック;}",
        "--></style>", "<title>abc_2</title>", "<script language=\"JavaScript\"><!--",
        "function Check_E(){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) self.close();}",
        "else {if(!window.opener.closed) self.close();}}",
        "// --></script>", "</head>",
        "<body BgColor=\"\" onblur=\"Check_E()\">",
        "<table border=\"0\">", "<tr><td width=\"320\" height=\"120\" valign=\"top\">",
        "<img src=\"a.gif\" width=\"150\" height=\"115\" alt=\"a.gif\">",
        "</td></tr>", "<tr><td align=\"right\">", "<form>",
        "<input type=\"button\" value=\"閉じる\" onClick=\"Check_E()\">",
        "</form>", "</td></tr>", "</table>", "</body>", "</html>",
    });
}

QByteArray expectedDataPage()
{
    return sjisFile({
        "<html>", "<head>", "<style type=\"Text/css\"><!--",
        "span#param3{font-size:12pt;family:ＭＳゴシック;}",
        "span#param4{font-size:8pt;family:ＭＳゴシック;}",
        "--></style>", "<title>abc_data</title>", "<script language=\"JavaScript\"><!--",
        kScript[0], kScript[1],
        "function GetPosX(E){if( document.all )return window.event.screenX;else if ( document.layers || document.getElementById )return E.screenX;}",
        kScript[3],
        "// --></script>", "</head>", "<body>",
        "<table border=\"1\"align=\"center\">",
        "<tr><th>PAGE NUMBER</th><th>PAGE TITLE</th><th>CONTENTS</th></tr>",
        "<tr><td><span id=\"param3\">PAGE1</span></td><td><span id=\"param3\">abc_1.htm</span></td><td><span id=\"param3\">Text</span></td></tr>",
        "<tr><td><span id=\"param3\">PAGE2</span></td><td><span id=\"param3\">abc_2.htm</span></td><td><span id=\"param3\">IMG　　a.gif　　a.gif　　115*150</span></td></tr>",
        "</table>",
        "<table border=\"0\"align=\"center\">",
        "<tr><td><span id=\"param3\">動作テスト</span></td></tr>",
        "<tr><td><a href=\"javascript:void(0)\"onClick =\"OpenSub('abc_1.htm',event)\"><span id=\"param3\">abcpages</span></a></td></tr>",
        "</table>",
        "<table border=\"0\"align=\"center\">",
        "<tr bgcolor=ffffcc><td><xmp>",
        "<html>", "<head>", "<title></title>", "<script language=\"JavaScript\"><!--",
        kScript[0], kScript[1], kScript[2], kScript[3],
        "// --></script>", "</head>",
        "</xmp></td></tr>", "<tr><td>",
        "<span id=\"param4\"><font color=FF0000>上のソースコードをリンクを張るページに貼り付ける｡</font></span>",
        "</td></tr>",
        "<tr bgcolor=ffffcc><td><xmp>",
        "<a href=\"javascript:void(0)\"onClick =\"OpenSub('abc_1.htm',event)\">abcpages</a>",
        "</xmp></td></tr>", "<tr><td>",
        "<span id=\"param4\"><font color=FF0000>このソースコードをリンクを張る部分に貼り付ける｡</font></span>",
        "</td></tr>", "<tr><td>",
        "<BR><BR><span id=\"param4\"><font color=000000>この動作テストを WindowsXP SP2 環境（初期状態）でおこなうと、InternetExplorer の『セキュリティ警告』が表示されます。<BR>これは、ローカル環境下で JavaScript を動かそうとすると、 Windows のセキュリティがはたらいてしまう為で、Webサーバー上では問題なく動作します｡</font></span>",
        "</td></tr>", "</table>", "</body>", "</html>",
    });
}

// The program folder in a plain folder, or on a USB stick as it comes:
// formatted exFAT (mounted with exfat-fuse) or FAT32 (the kernel's vfat), in a
// loop device made here. Where either cannot be had, the test is skipped.
class Roads : public testing::TestWithParam<QString> {
protected:
    void SetUp() override
    {
        const QString mount = GetParam() == u"exfat" ? QStringLiteral("mount.exfat-fuse") : QStringLiteral("mount -t vfat");
        if (GetParam() != u"folder") {
            if (const QString why = shell(QStringLiteral("truncate -s 64M s.img && mkfs.%1 s.img >/dev/null && mkdir s && "
                    "losetup -f --show s.img >loop && { %2 $(cat loop) s || { losetup -d $(cat loop); rm loop; false; } }")
                    .arg(GetParam() == u"exfat" ? u"exfat" : u"vfat -F 32", mount)); !why.isEmpty())
                GTEST_SKIP() << why.toStdString();
            program = dir.filePath(QStringLiteral("s"));
        }
        window = std::make_unique<MainWindow>(desktop, initPortablePaths(program));
        test::visitEveryTab(window.get());
        window->show();
        QFile gif(window->paths().outputFolder + QStringLiteral("a.gif"));
        ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
        gif.write(kGif);
    }

    template <class W = QWidget> W *get(const char *name)
    {
        return child<W>(window.get(), QString::fromLatin1(name));
    }
    void click(const char *name) { get<QAbstractButton>(name)->click(); }
    QString out(const char *name) const
    {
        return window->paths().outputFolder + QString::fromUtf8(name);
    }
    // Clicks an item of the file list File1 in the next modal window.
    static void pickInNextModal(const QString &name)
    {
        onNextModal([name](QWidget *modal) {
            auto *list = child<QListWidget>(modal, QStringLiteral("File1"));
            const auto items = list->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1) << name.toStdString();
            list->setCurrentItem(items[0]);
            const QRect rect = list->visualItemRect(items[0]);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            if (modal->isVisible()) // the image picker stays open until ＯＫ
                child<QAbstractButton>(modal, QStringLiteral("Command1"))->click();
        });
    }

    // The road of one creation: abc, a two-line text page, a standard
    // picture page picked in the image picker, page 3 left "なし".
    void enterTheExampleSet()
    {
        get<QLineEdit>("t_Text")->setText(QStringLiteral("abc"));
        click("Option1_1");
        auto *text = get<QPlainTextEdit>("Text1");
        typeText(text, QStringLiteral("一行目"));
        QTest::keyClick(text, Qt::Key_Return);
        typeText(text, QStringLiteral("二行目"));
        click("Option2_2");
        pickInNextModal(QStringLiteral("a.gif"));
        click("OpenFiles_2p");
    }

    void TearDown() override
    {
        window.reset();
        if (QFile::exists(dir.filePath(QStringLiteral("loop"))))
            EXPECT_EQ(shell(QStringLiteral("umount s && losetup -d $(cat loop)")), QString());
    }
    // Runs script in dir; what it said when it failed.
    QString shell(const QString &script)
    {
        QProcess sh;
        sh.setWorkingDirectory(dir.path());
        sh.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("PATH=/usr/sbin:/sbin:$PATH; ") + script});
        const bool ran = sh.waitForFinished(60000) && sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0;
        return ran ? QString() : GetParam() + QStringLiteral(": ") + QString::fromLocal8Bit(sh.readAllStandardError());
    }

    QTemporaryDir dir;
    QString program = dir.path();
    RecordingDesktop desktop;
    std::unique_ptr<MainWindow> window;
};

PageSet exampleSet()
{
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("一行目\r\n二行目");
    set.page(2).kind = PageKind::StandardPicture;
    set.page(2).standardFile = QStringLiteral("a.gif");
    set.page(2).standardAlt = QStringLiteral("a.gif");
    return set;
}

} // namespace

TEST_P(Roads, oneCreationWritesTheTwoPagesAndTheDataPageThenClearsTheEditor)
{
    enterTheExampleSet();
    PageSet entered = exampleSet();
    EXPECT_EQ(window->pageSet(), entered);

    click("Command1");

    EXPECT_TRUE(sameBytes(expectedPage1(), readAll(out("abc_1.htm"))));
    EXPECT_TRUE(sameBytes(expectedPage2(), readAll(out("abc_2.htm"))));
    EXPECT_TRUE(sameBytes(expectedDataPage(), readAll(out("abc_data.htm"))));
    EXPECT_FALSE(QFile::exists(out("abc_3.htm")));
    const QList<Call> expected = {
        {Call::Information, QStringLiteral("ポップリーフ [ abc_1.htm ] ～ [ abc_2.htm ] を作成しました｡")},
        {Call::Information, QStringLiteral("データページ[abc_data.htm] を作成しました｡")},
        {Call::Open, out("abc_data.htm")},
    };
    EXPECT_EQ(desktop.calls, expected);

    PageSet cleared;
    resetPageSet(cleared);
    EXPECT_EQ(window->pageSet(), cleared);
    EXPECT_EQ(get<QTabWidget>("SSTab1")->currentIndex(), 0);
}

TEST_P(Roads, reopeningTheSetFindsTheInputsAndCreatesIdenticalFiles)
{
    enterTheExampleSet();
    click("Command1");
    const QByteArray page1 = readAll(out("abc_1.htm"));
    const QByteArray page2 = readAll(out("abc_2.htm"));
    const QByteArray data = readAll(out("abc_data.htm"));
    desktop.calls.clear();

    pickInNextModal(QStringLiteral("abc_data.htm"));
    click("Sel_FleName");

    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0], (Call{Call::Information,
                                      QStringLiteral("ポップリーフ [ abc_1.htm ] ～ [ abc_2.htm ] を読み込みました。")}));
    PageSet reread = exampleSet();
    reread.backgroundAttribute = QStringLiteral("BgColor="); // read back from the body line
    EXPECT_EQ(window->pageSet(), reread);

    ASSERT_TRUE(QFile::remove(out("abc_1.htm")));
    click("Command1");
    EXPECT_TRUE(sameBytes(page1, readAll(out("abc_1.htm"))));
    EXPECT_TRUE(sameBytes(page2, readAll(out("abc_2.htm"))));
    EXPECT_TRUE(sameBytes(data, readAll(out("abc_data.htm"))));
}

TEST_P(Roads, optionsSwitchToHtmlAndRobotsAndTheNextCreationUsesBoth)
{
    onNextModal([](QWidget *options) {
        child<QAbstractButton>(options, QStringLiteral("OptKcyosi_1"))->click();
        child<QAbstractButton>(options, QStringLiteral("OptSettei_2"))->click();
        child<QAbstractButton>(options, QStringLiteral("Command1"))->click();
    });
    click("Option_btn");

    get<QLineEdit>("t_Text")->setText(QStringLiteral("opt"));
    click("Option1_1");
    click("Command1");

    EXPECT_EQ(QDir(window->paths().outputFolder).entryList({QStringLiteral("opt*")}, QDir::Files, QDir::Name),
              (QStringList{"opt_1.html", "opt_data.html"}));
    const QByteArray page = readAll(out("opt_1.html"));
    EXPECT_TRUE(page.contains("<META NAME=\"ROBOTS\" CONTENT=\"INDEX, FOLLOW\">\r\n"));
    EXPECT_TRUE(page.contains(sjis("<span id=\"param2\"><A HREF=\"リンクページURL\">リンクページ名</A></span>\r\n")));
    ASSERT_GE(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].text, QStringLiteral("ポップリーフ [ opt_1.html ] を作成しました｡"));
}

// What a stick adds to the roads above: pictures brought in by ほかの場所から
// 追加… and by a drop on a 参照 button, the drafts of two copies, the preview.
TEST_P(Roads, picturesDraftsAndPreviewOnTheProgramFolder)
{
    QTemporaryDir outside;
    for (const char *name : {"chosen.gif", "dropped.gif"})
        writeFile(outside.filePath(QString::fromLatin1(name)), kGif);
    desktop.chosenFiles = {outside.filePath(QStringLiteral("chosen.gif"))};
    get<QLineEdit>("t_Text")->setText(QStringLiteral("abc"));
    click("Option1_2");
    onNextModal([](QWidget *picker) {
        child<QAbstractButton>(picker, QStringLiteral("Com_import"))->click();
        auto *view = child<QAbstractItemView>(picker, QStringLiteral("File1"));
        EXPECT_TRUE(QTest::qWaitFor([view] { return view->selectionModel()->hasSelection(); }, 20000));
        picker->close();
    });
    click("OpenFiles_1p");
    click("Option0_1");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(outside.filePath(QStringLiteral("dropped.gif")))});
    QDropEvent drop(QPointF(get("OpenFiles_BK")->mapTo(window.get(), get("OpenFiles_BK")->rect().center())),
                    Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject *>(window.get())->event(&drop);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->pageSet().backgroundValue == u"dropped.gif"; }, 20000));
    EXPECT_EQ(window->pageSet().page(1).standardFile, QStringLiteral("chosen.gif"));
    for (const char *name : {"chosen.gif", "dropped.gif"})
        EXPECT_EQ(readAll(out(name)), kGif) << name;

    MainWindow second(desktop, initPortablePaths(program));
    second.setTitle(QStringLiteral("second"));
    for (MainWindow *copy : {window.get(), &second}) {
        copy->draft().saveAndWait();
        EXPECT_EQ(parseDraft(readAll(copy->draft().path())), copy->pageSet());
    }
    EXPECT_NE(second.draft().path(), window->draft().path());

    RecordingBrowserFactory browsers;
    onNextModal([&](QWidget *preview) {
        EXPECT_TRUE(QFile::exists(program + QStringLiteral("/TEMP/abc_1.htm")));
        preview->close();
    });
    runPreviewCommand(window.get(), *window, window->state(), window->paths(), desktop, &browsers);
    EXPECT_EQ(browsers.created, 1);
    EXPECT_EQ(QDir(program + QStringLiteral("/TEMP")).entryList(QDir::Files | QDir::Hidden), QStringList{});
    EXPECT_EQ(desktop.calls.size(), 1) << testing::PrintToString(desktop.calls); // the choice of files
}

INSTANTIATE_TEST_SUITE_P(Sticks, Roads, testing::Values(QStringLiteral("folder"), QStringLiteral("exfat"), QStringLiteral("vfat")),
                         [](const auto &info) { return info.param.toStdString(); });
