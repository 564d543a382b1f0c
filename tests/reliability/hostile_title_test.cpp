// Titles a user can type, through the create road and back through the
// reader: a title is the stem of every file name and stands, escaped as
// markup, in the pages' links and the data page's script, so it either names
// files inside the output folder exactly as typed or is refused with one
// message naming the character before anything is written, and a refused
// title leaves the editor as it was. Picture names and alternative texts go
// the same road.

#include "reliability_support.h"
#include "support/record_editor.h"

#include "support/test_windows.h"
#include "core/reopen/page_reader.h"
#include "support/reopen_test_support.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

class TitleFixture : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void create(const QString &title) { create(sampleSet(title)); }
    void create(const PageSet &set)
    {
        editor.set() = set;
        createSet(test::commandContext(editor, state, paths, desktop));
    }

    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;
};

// ---- written as typed ----------------------------------------------------

struct WrittenTitle {
    const char *name;
    QString title;
};

void PrintTo(const WrittenTitle &c, std::ostream *os) { *os << c.name; }

class TitleWrittenAsTyped : public TitleFixture, public testing::WithParamInterface<WrittenTitle> {};

TEST_P(TitleWrittenAsTyped, namesEveryFileAndLinkUnchanged_andReadsBack)
{
    const QString t = GetParam().title;
    const QByteArray b = t.toHtmlEscaped().toUtf8(); // ASCII titles: the same bytes in CP932
    // Names and texts with markup characters are escaped too, and come back as typed.
    PageSet typed = sampleSet(t);
    typed.page(2).standardFile = QStringLiteral("a&b <1>.gif");
    typed.page(3).wideAlt = QStringLiteral("Fuji \"sakura\" & sky");
    create(typed);

    EXPECT_EQ(desktop.calls,
              (QList<Call>{{Call::Information, QStringLiteral("ポップリーフ [ ") + t
                                + QStringLiteral("_1.htm ] ～ [ ") + t
                                + QStringLiteral("_3.htm ] を作成しました｡")},
                           {Call::Information, QStringLiteral("データページ[") + t
                                + QStringLiteral("_data.htm] を作成しました｡")},
                           {Call::Open, paths.outputFolder + t + QStringLiteral("_data.htm")}}));
    EXPECT_EQ(entryNames(paths.outputFolder),
              (QStringList{t + "_1.htm", t + "_2.htm", t + "_3.htm", t + "_data.htm"}));

    const QByteArray page1 = readAll(paths.outputFolder + t + QStringLiteral("_1.htm"));
    EXPECT_TRUE(page1.contains("\r\n<title>" + b + "_1</title>\r\n"));
    EXPECT_TRUE(page1.contains("\r\n<body BackGround=\"back.gif\" onblur=\"Check('" + b + "_2.htm',event)\">\r\n"));
    EXPECT_TRUE(readAll(paths.outputFolder + t + QStringLiteral("_2.htm")).contains("<img src=\"a&amp;b &lt;1&gt;.gif\""));
    EXPECT_TRUE(readAll(paths.outputFolder + t + QStringLiteral("_3.htm")).contains("alt=\"Fuji &quot;sakura&quot; &amp; sky\">"));
    EXPECT_TRUE(page1.contains(sjis("\r\n<input type=\"button\" value=\"次へ\" onClick=\"Check('") + b
                               + "_2.htm',event)\">\r\n"));
    const QByteArray data = readAll(paths.outputFolder + t + QStringLiteral("_data.htm"));
    EXPECT_TRUE(data.contains("\r\n<title>" + b + "_data</title>\r\n"));
    EXPECT_TRUE(data.contains("<td><span id=\"param3\">" + b + "_3.htm</span></td>"));
    EXPECT_TRUE(data.contains("onClick =\"OpenSub('" + b + "_1.htm',event)\"><span id=\"param3\">" + b
                              + "pages</span></a>"));

    // Back through the reader, as the set picker reads it.
    const PageSet &created = typed;
    RecordingDesktop readDesktop;
    EditorState readState;
    readState.readExtension = QStringLiteral(".htm");
    RecordEditor reopened(resetSet(t));
    readPageSet(test::commandContext(reopened, readState, paths, readDesktop));
    EXPECT_EQ(reopened.pageSet(), created);
    EXPECT_EQ(readDesktop.calls,
              (QList<Call>{{Call::Information, QStringLiteral("ポップリーフ [ ") + t
                                + QStringLiteral("_1.htm ] ～ [ ") + t
                                + QStringLiteral("_3.htm ] を読み込みました。")}}));
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleWrittenAsTyped,
    testing::Values(WrittenTitle{"onlySpaces", QStringLiteral("   ")},
                    WrittenTitle{"punctuation", QStringLiteral("say hi & (it is) ~ ok!")},
                    WrittenTitle{"markupWithoutSlash", QStringLiteral("<img src=x onerror=alert(1)>")},
                    WrittenTitle{"dots", QStringLiteral("..")},
                    WrittenTitle{"longestThatFits", QString(246, u'a')}),
    [](const testing::TestParamInfo<WrittenTitle> &info) { return std::string(info.param.name); });

// ---- refused before anything is written -----------------------------------

struct RefusedTitle {
    const char *name;
    QString title;
    QString message; // {out}: the output folder
    void (*change)(PageSet &) = nullptr; // a set only a draft or another program holds
};

void PrintTo(const RefusedTitle &c, std::ostream *os) { *os << c.name; }

class TitleRefused : public TitleFixture, public testing::WithParamInterface<RefusedTitle> {};

TEST_P(TitleRefused, oneMessageNothingWrittenEditorKept)
{
    // An earlier set in the folder stays as it is.
    const QByteArray earlier = "<html>earlier</html>\r\n";
    writeFile(paths.outputFolder + QStringLiteral("abc_1.htm"), earlier);
    const auto before = folderTree(dir.path());

    PageSet set = sampleSet(GetParam().title);
    if (GetParam().change)
        GetParam().change(set);
    create(set);

    EXPECT_EQ(desktop.calls,
              (QList<Call>{{Call::Warning, QString(GetParam().message)
                                                .replace(QStringLiteral("{out}"), paths.outputFolder)}}));
    EXPECT_EQ(changedPaths(before, folderTree(dir.path())), QStringList{});
    EXPECT_EQ(editor.pageSet(), set);
}

QString separatorMessage(const QString &what)
{
    return QStringLiteral("タイトル名に ") + what
        + QStringLiteral(" は使えません。\nタイトル名はファイル名になるため、"
                         "フォルダの区切り文字と NUL 文字を含めることはできません。");
}

QString quoteMessage(const QString &quote)
{
    return QStringLiteral("タイトル名に 「") + quote
        + QStringLiteral("」 は使えません。\nタイトル名はページのリンクとスクリプトにそのまま書かれるため、"
                         "引用符 ' と \" を含めることはできません。");
}

QString controlMessage(const QString &what)
{
    return QStringLiteral("タイトル名に ") + what
        + QStringLiteral(" は使えません。\nタイトル名はページの行にそのまま書かれるため、"
                         "改行やタブなどの制御文字を含めることはできません。");
}

QString tooLongMessage(const QString &title)
{
    return QStringLiteral("タイトル名が長すぎて、ファイルを作成できません。\n{out}") + title
        + QStringLiteral("_data.htm\n理由: File name too long");
}

INSTANTIATE_TEST_SUITE_P(
    Titles, TitleRefused,
    testing::Values(
        RefusedTitle{"parentFolder", QStringLiteral("../x"), separatorMessage(QStringLiteral("「/」"))},
        RefusedTitle{"slash", QStringLiteral("a/b"), separatorMessage(QStringLiteral("「/」"))},
        RefusedTitle{"backslash", QStringLiteral("a\\b"), separatorMessage(QStringLiteral("「\\」"))},
        RefusedTitle{"nul", QStringLiteral("a") + QChar(0) + QStringLiteral("b"),
                     separatorMessage(QStringLiteral("NUL 文字"))},
        RefusedTitle{"markupWithSlash", QStringLiteral("<b>x</b>"), separatorMessage(QStringLiteral("「/」"))},
        // The title stands inside OpenSub('…') in the data page and
        // Check('…') in the pages: a quote ends the string or the attribute.
        RefusedTitle{"apostrophe", QStringLiteral("it's"), quoteMessage(QStringLiteral("'"))},
        RefusedTitle{"scriptInjection", QStringLiteral("a');alert(document.cookie);('"),
                     quoteMessage(QStringLiteral("'"))},
        RefusedTitle{"doubleQuote", QStringLiteral("say \"hi\""), quoteMessage(QStringLiteral("\""))},
        RefusedTitle{"lineFeed", QStringLiteral("a\nb"), controlMessage(QStringLiteral("改行 (U+000A)"))},
        RefusedTitle{"carriageReturn", QStringLiteral("a\rb"), controlMessage(QStringLiteral("改行 (U+000D)"))},
        RefusedTitle{"tab", QStringLiteral("a\tb"), controlMessage(QStringLiteral("タブ (U+0009)"))},
        RefusedTitle{"escape", QStringLiteral("a\x1b[0m"), controlMessage(QStringLiteral("制御文字 (U+001B)"))},
        RefusedTitle{"lineSeparator", QStringLiteral("a\u2028b"), controlMessage(QStringLiteral("改行 (U+2028)"))},
        RefusedTitle{"longerThanAName", QString(300, u'a'), tooLongMessage(QString(300, u'a'))},
        // The pages' names would fit; the data page's would not, and a set
        // without its data page is not left behind.
        RefusedTitle{"tooLongForTheDataPageOnly", QString(247, u'a'), tooLongMessage(QString(247, u'a'))},
        // The limit is in bytes: 83 kana are 249 bytes of UTF-8.
        RefusedTitle{"kanaTooLong", QString(83, u'あ'), tooLongMessage(QString(83, u'あ'))},
        // What typing and picking never give, as a restored draft may hold it.
        RefusedTitle{"pictureOutsideTheFolder", QStringLiteral("abc"),
                     QStringLiteral("ページ 2 の画像「../../outside.gif」は Popleaf の中のファイルを指していないため、"
                                    "書き出せません。画像は Popleaf から選んでください。"),
                     [](PageSet &set) { set.page(2).standardFile = QStringLiteral("../../outside.gif"); }},
        RefusedTitle{"lineBreakInAnAlternativeText", QStringLiteral("abc"),
                     QStringLiteral("ページ 3 の代替テキスト「a[U+000D][U+000A][U+2028]<script>」に改行やタブなどの制御文字があり、"
                                    "ページの行がそこで分かれてしまうため、書き出せません。"),
                     [](PageSet &set) { set.page(3).wideAlt = QStringLiteral("a\r\n\u2028<script>"); }},
        RefusedTitle{"backgroundFolder", QStringLiteral("abc"),
                     QStringLiteral("背景の画像「..」は Popleaf の中のファイルを指していないため、"
                                    "書き出せません。画像は Popleaf から選んでください。"),
                     [](PageSet &set) { set.backgroundValue = QStringLiteral(".."); }}),
    [](const testing::TestParamInfo<RefusedTitle> &info) { return std::string(info.param.name); });

} // namespace
