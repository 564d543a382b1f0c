#include "support/test_windows.h"
#include "support/record_editor.h"

#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

struct CreateFixture : testing::Test {
    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;

    void SetUp() override { editor.set().title = QStringLiteral("abc"); }

    void settingsFile(const QByteArray &body)
    {
        QFile f(paths.settingsFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[OptionSettei]\r\n" + body);
    }
    void kinds(std::initializer_list<PageKind> ks)
    {
        int k = 1;
        for (PageKind kind : ks)
            editor.set().page(k++).kind = kind;
    }
    QString out(const char *name) const { return paths.outputFolder + QString::fromUtf8(name); }
    QByteArray page(const char *name) const { return readAll(out(name)); }
    QStringList written() const
    {
        return QDir(paths.outputFolder).entryList(QDir::Files, QDir::Name);
    }
    void create()
    {
        createSet(test::commandContext(editor, state, paths, desktop));
        EXPECT_TRUE(desktop.wasBusy && desktop.busy == 0) << "the wait cursor shown, and ended on the way out";
    }
    PageSet clearedEditor() const
    {
        PageSet cleared;
        resetPageSet(cleared);
        return cleared;
    }
};

constexpr auto None = PageKind::None;
constexpr auto Text = PageKind::Text;
constexpr auto Std = PageKind::StandardPicture;
constexpr auto Wide = PageKind::WidePicture;

} // namespace

TEST_F(CreateFixture, onePageIsALastPageAndTheRoadEndsWithAClearedEditor)
{
    kinds({Text});
    editor.set().page(1).text = QStringLiteral("one\r\ntwo");
    create();

    EXPECT_EQ(written(), (QStringList{"abc_1.htm", "abc_data.htm"}));
    const QByteArray p1 = page("abc_1.htm");
    EXPECT_TRUE(p1.contains("<body BgColor=\"\" onblur=\"Check_E()\">\r\n"));
    EXPECT_TRUE(p1.contains("<span id=\"param3\">one<BR>two</span>\r\n"));
    EXPECT_FALSE(p1.contains("ROBOTS"));
    const QList<Call> expected = {
        {Call::Information, QStringLiteral("ポップリーフ [ abc_1.htm ] を作成しました｡")},
        {Call::Information, QStringLiteral("データページ[abc_data.htm] を作成しました｡")},
        {Call::Open, out("abc_data.htm")},
    };
    EXPECT_EQ(desktop.calls, expected);
    EXPECT_EQ(editor.pageSet(), clearedEditor());
    EXPECT_EQ(state.lastTitle, QStringLiteral("abc"));
    EXPECT_EQ(state.extension, QStringLiteral(".htm"));
    EXPECT_EQ(state.contents(1), QStringLiteral("Text"));
}

TEST_F(CreateFixture, sixPagesLinkFiveAndCloseTheLast)
{
    kinds({Text, Std, Wide, Text, Std, Wide});
    editor.set().page(2).standardFile = QStringLiteral("a.gif");
    editor.set().page(2).standardAlt = QStringLiteral("cat");
    create();

    EXPECT_EQ(written().size(), 7);
    for (int k = 1; k <= 5; ++k) {
        const QByteArray bytes = page(QStringLiteral("abc_%1.htm").arg(k).toUtf8().constData());
        EXPECT_TRUE(bytes.contains(QStringLiteral("onClick=\"Check('abc_%1.htm',event)\">").arg(k + 1).toUtf8())) << k;
    }
    EXPECT_TRUE(page("abc_6.htm").contains("onClick=\"Check_E()\">"));
    EXPECT_TRUE(page("abc_2.htm").contains("<img src=\"a.gif\" width=\"150\" height=\"115\" alt=\"cat\">"));
    EXPECT_TRUE(page("abc_3.htm").contains("width=\"250\""));
    ASSERT_GE(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].text, QStringLiteral("ポップリーフ [ abc_1.htm ] ～ [ abc_6.htm ] を作成しました｡"));
    EXPECT_EQ(page("abc_data.htm").count("\r\n"), 56);
}

TEST_F(CreateFixture, aGapAtPageFourEndsTheSetAndLeavesLaterDescriptions)
{
    state.contents(5) = QStringLiteral("earlier set");
    kinds({Text, Text, Text, None, Text, Text});
    create();
    EXPECT_EQ(written(), (QStringList{"abc_1.htm", "abc_2.htm", "abc_3.htm", "abc_data.htm"}));
    EXPECT_TRUE(page("abc_3.htm").contains("Check_E()"));
    EXPECT_EQ(page("abc_data.htm").count("\r\n"), 53);
    EXPECT_EQ(state.contents(5), QStringLiteral("earlier set"));
    EXPECT_EQ(desktop.calls[0].text, QStringLiteral("ポップリーフ [ abc_1.htm ] ～ [ abc_3.htm ] を作成しました｡"));
}

TEST_F(CreateFixture, htmlSettingNamesEveryFileAndLink)
{
    settingsFile("KakucyosiSettei=1\r\n");
    kinds({Text, Text});
    create();
    EXPECT_EQ(written(), (QStringList{"abc_1.html", "abc_2.html", "abc_data.html"}));
    EXPECT_TRUE(page("abc_1.html").contains("Check('abc_2.html',event)"));
    EXPECT_EQ(desktop.calls[0].text, QStringLiteral("ポップリーフ [ abc_1.html ] ～ [ abc_2.html ] を作成しました｡"));
    EXPECT_EQ(desktop.calls[2], (Call{Call::Open, out("abc_data.html")}));
}

TEST_F(CreateFixture, unknownExtensionValueKeepsThePreviousExtension)
{
    settingsFile("KakucyosiSettei=2\r\n");
    kinds({Text});
    create(); // first run: no extension yet
    EXPECT_EQ(written(), (QStringList{"abc_1", "abc_data"}));
    EXPECT_EQ(desktop.calls[0].text, QStringLiteral("ポップリーフ [ abc_1 ] を作成しました｡"));

    state.extension = QStringLiteral(".html"); // as a previous creation left it
    editor.set().title = QStringLiteral("next");
    kinds({Text});
    create();
    EXPECT_TRUE(QFileInfo::exists(out("next_1.html")));
}

TEST_F(CreateFixture, robotsModeTwoLinksHomeWithTheDefaults)
{
    settingsFile("KensakuSettei=2\r\nDousaSettei=0\r\n");
    kinds({Text, Text});
    create();
    for (const char *name : {"abc_1.htm", "abc_2.htm"}) {
        const QByteArray bytes = page(name);
        EXPECT_TRUE(bytes.contains("<META NAME=\"ROBOTS\" CONTENT=\"INDEX, FOLLOW\">\r\n")) << name;
        EXPECT_TRUE(bytes.contains(sjis("<BR><BR>\r\n<span id=\"param2\"><A HREF=\"リンクページURL\">リンクページ名</A></span>\r\n</body>"))) << name;
    }
    // DousaSettei 0: no browser, the editor still cleared.
    ASSERT_EQ(desktop.calls.size(), 2);
    EXPECT_EQ(desktop.calls[1].kind, Call::Information);
    EXPECT_EQ(editor.pageSet(), clearedEditor());
}

TEST_F(CreateFixture, emptyFirstPageWritesNothingButUpdatesTheState)
{
    kinds({None, Text});
    create();
    EXPECT_TRUE(written().isEmpty());
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_EQ(state.lastTitle, QStringLiteral("abc"));
    EXPECT_EQ(state.extension, QStringLiteral(".htm"));
    EXPECT_EQ(editor.pageSet().page(2).kind, Text) << "editor untouched";
}

TEST_F(CreateFixture, emptyTitleIsAccepted)
{
    editor.set().title.clear();
    kinds({Text});
    create();
    EXPECT_EQ(written(), (QStringList{"_1.htm", "_data.htm"}));
}

class CreateRefusedTitle : public CreateFixture, public testing::WithParamInterface<QString> {};

TEST_P(CreateRefusedTitle, writesNothingAndKeepsTheEditor)
{
    editor.set().title = GetParam();
    kinds({Text});
    const PageSet before = editor.pageSet();
    create();
    EXPECT_TRUE(written().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral("*.htm")}, QDir::Files).isEmpty());
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, Call::Warning);
    EXPECT_TRUE(desktop.calls[0].text.contains(QStringLiteral("タイトル名")));
    EXPECT_EQ(editor.pageSet(), before);
}

INSTANTIATE_TEST_SUITE_P(Separators, CreateRefusedTitle,
                         testing::Values(QStringLiteral("../x"), QStringLiteral("a/b"),
                                         QStringLiteral("a\\b"), QStringLiteral("a") + QChar(0)));

TEST_F(CreateFixture, pageInTheWayStopsAfterTheWrittenPagesAndKeepsTheEditor)
{
    ASSERT_TRUE(QDir().mkdir(out("abc_2.htm")));
    kinds({Text, Text, Text});
    const PageSet before = editor.pageSet();
    desktop.answer = true; // replace what is in the way
    create();
    EXPECT_EQ(written(), (QStringList{"abc_1.htm"}));
    ASSERT_EQ(desktop.calls.size(), 2);
    EXPECT_EQ(desktop.calls[0].kind, Call::Question);
    EXPECT_EQ(desktop.calls[1].kind, Call::Warning);
    EXPECT_TRUE(desktop.calls[1].text.contains(out("abc_2.htm")));
    EXPECT_EQ(editor.pageSet(), before);
}

// An HTML5 set's style file is written before the pages that use it.
TEST_F(CreateFixture, html5StyleFileInTheWayWritesNoPageAndKeepsTheEditor)
{
    settingsFile("KeishikiSettei=1\r\n");
    ASSERT_TRUE(QDir().mkdir(out("abc_popleaf.css")));
    kinds({Text});
    const PageSet before = editor.pageSet();
    create();
    EXPECT_EQ(written(), QStringList());
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, Call::Warning);
    EXPECT_TRUE(desktop.calls[0].text.contains(out("abc_popleaf.css")));
    EXPECT_EQ(editor.pageSet(), before);
}

TEST_F(CreateFixture, missingOutputFolderIsReported)
{
    ASSERT_TRUE(QDir(paths.outputFolder).removeRecursively());
    kinds({Text});
    const PageSet before = editor.pageSet();
    create();
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, Call::Warning);
    EXPECT_TRUE(desktop.calls[0].text.contains(out("abc_1.htm")));
    EXPECT_EQ(editor.pageSet(), before);
}

TEST_F(CreateFixture, dataPageInTheWayKeepsThePagesAndTheEditor)
{
    ASSERT_TRUE(QDir().mkdir(out("abc_data.htm")));
    kinds({Text});
    const PageSet before = editor.pageSet();
    create();
    EXPECT_TRUE(QFileInfo(out("abc_1.htm")).isFile());
    ASSERT_EQ(desktop.calls.size(), 2);
    EXPECT_EQ(desktop.calls[0].kind, Call::Information);
    EXPECT_EQ(desktop.calls[1].kind, Call::Warning);
    EXPECT_EQ(editor.pageSet(), before);
}

class CreateBadSetting : public CreateFixture,
                         public testing::WithParamInterface<std::pair<const char *, const char *>> {};

TEST_P(CreateBadSetting, namesTheKeyAndWritesNothing)
{
    const auto [key, value] = GetParam();
    settingsFile(QByteArray(key) + "=" + value + "\r\n");
    kinds({Text});
    const PageSet before = editor.pageSet();
    create();
    EXPECT_TRUE(written().isEmpty());
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, Call::Warning);
    EXPECT_TRUE(desktop.calls[0].text.contains(QString::fromUtf8(key)));
    EXPECT_TRUE(desktop.calls[0].text.contains(QString::fromUtf8(value).section(u'\n', 0, 0)));
    EXPECT_EQ(editor.pageSet(), before);
}

INSTANTIATE_TEST_SUITE_P(NotA16BitNumber, CreateBadSetting,
                         testing::Values(std::pair{"DousaSettei", "yes"},
                                         std::pair{"KensakuSettei", "1.5"},
                                         std::pair{"KakucyosiSettei", "70000"},
                                         std::pair{"KakucyosiSettei", "0x1"},
                                         // Two: the first read is named.
                                         std::pair{"DousaSettei", "yes\nKakucyosiSettei=no"}));

TEST(SettingAsInteger, acceptsSignedDecimalsIn16Bits)
{
    EXPECT_EQ(settingAsInteger(QStringLiteral("2")), 2);
    EXPECT_EQ(settingAsInteger(QStringLiteral(" -32768 ")), -32768);
    EXPECT_EQ(settingAsInteger(QStringLiteral("+32767")), 32767);
    EXPECT_FALSE(settingAsInteger(QStringLiteral("32768")));
    EXPECT_FALSE(settingAsInteger(QStringLiteral("-32769")));
    EXPECT_FALSE(settingAsInteger(QStringLiteral("")));
    EXPECT_FALSE(settingAsInteger(QStringLiteral("1 2")));
    EXPECT_FALSE(settingAsInteger(QStringLiteral("１")));
}

// A set of the same name on disk, made again with two pages: replaced only
// when the user says so (or when the editor reopened it), and then its pages
// beyond page 2 go with the rest; a link or folder at such a page's name is
// no page of the set and stays.
TEST_F(CreateFixture, existingSetIsReplacedOnlyWhenAskedOrReopened_withoutStalePages)
{
    const struct {
        const char *name;
        bool answer;
        bool reopened;
        int pagesOnDisk;
        bool linkAndFolder; // at abc_4.htm and abc_5.htm
        const char *beyond; // the pages the question names
        QStringList entries;
        bool companions = false; // an HTML5 set's script, and a style file of the author's
    } cases[] = {
        {"no", false, false, 3, false, "abc_3.htm", {"abc_1.htm", "abc_2.htm", "abc_3.htm", "abc_data.htm"}},
        {"yes", true, false, 3, false, "abc_3.htm", {"abc_1.htm", "abc_2.htm", "abc_data.htm"}},
        {"reopened", false, true, 3, false, "", {"abc_1.htm", "abc_2.htm", "abc_data.htm"}},
        {"sixPagesByTwo", true, false, 6, false, "abc_3.htm、abc_4.htm、abc_5.htm、abc_6.htm",
         {"abc_1.htm", "abc_2.htm", "abc_data.htm"}},
        {"html5SetByClassic", true, false, 2, false, "abc_popleaf.js",
         {"abc_1.htm", "abc_2.htm", "abc_data.htm", "abc_popleaf.css"}, true},
        {"linkAndFolderBeyond", true, false, 3, true, "abc_3.htm",
         {"abc_1.htm", "abc_2.htm", "abc_4.htm", "abc_5.htm", "abc_data.htm"}},
    };
    const QString mine = dir.filePath(QStringLiteral("mine.htm"));
    writeFile(mine, "mine");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(paths.outputFolder).removeRecursively() && QDir().mkpath(paths.outputFolder));
        writeFile(out("abc_data.htm"), "abc_data.htm");
        for (int k = 1; k <= c.pagesOnDisk; ++k)
            writeFile(paths.outputFolder + QStringLiteral("abc_%1.htm").arg(k), QStringLiteral("abc_%1.htm").arg(k).toUtf8());
        if (c.linkAndFolder)
            ASSERT_TRUE(QFile::link(mine, out("abc_4.htm")) && QDir().mkdir(out("abc_5.htm")));
        if (c.companions) {
            writeFile(out("abc_popleaf.js"), "/* Zelmora page set script */");
            writeFile(out("abc_popleaf.css"), "/* the author's own */");
        }
        editor.set().title = QStringLiteral("abc");
        kinds({Text, Text});
        const PageSet before = editor.pageSet();
        desktop.calls.clear();
        desktop.answer = c.answer;
        state.reopenedSet = c.reopened ? QStringLiteral("abc.htm") : QString();
        create();
        EXPECT_EQ(entriesIn(paths.outputFolder), c.entries);
        EXPECT_EQ(desktop.calls.first().kind, c.reopened ? Call::Information : Call::Question);
        if (!c.reopened)
            EXPECT_EQ(desktop.calls.first().text,
                      QStringLiteral("「abc」はすでにあります。置き換えますか？\n"
                                     "置き換えると、新しいセットにないファイル（%1）は削除されます。").arg(QString::fromUtf8(c.beyond)));
        for (const Call &call : desktop.calls)
            EXPECT_NE(call.kind, Call::Warning) << call.text.toStdString();
        if (!c.answer && !c.reopened) {
            EXPECT_EQ(desktop.calls.size(), 1);
            EXPECT_EQ(editor.pageSet(), before);
            EXPECT_EQ(page("abc_1.htm"), "abc_1.htm");
        } else {
            EXPECT_TRUE(page("abc_1.htm").startsWith("<html>"));
        }
    }
    EXPECT_TRUE(QFileInfo(out("abc_4.htm")).isSymLink());
    EXPECT_EQ(readAll(mine), "mine");
}
