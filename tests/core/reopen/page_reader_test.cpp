// Sets written by the page writer come back as they were edited.
#include "core/reopen/page_reader.h"
#include "support/test_windows.h"
#include "support/record_editor.h"

#include "support/reopen_test_support.h"
#include "support/recording_desktop.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, not in CP932

Page textPage(const QString &text)
{
    Page page;
    page.kind = PageKind::Text;
    page.text = text;
    return page;
}

Page standardPage(const QString &file, const QString &alt)
{
    Page page;
    page.kind = PageKind::StandardPicture;
    page.standardFile = file;
    page.standardAlt = alt;
    return page;
}

Page widePage(const QString &file, const QString &alt)
{
    Page page;
    page.kind = PageKind::WidePicture;
    page.wideFile = file;
    page.wideAlt = alt;
    return page;
}

struct RoundTrip {
    const char *name;
    std::vector<Page> pages;
    BackgroundKind background;
    QString backgroundValue;
    int robotsMode;
    QString ext;
};

void PrintTo(const RoundTrip &c, std::ostream *os) { *os << c.name; }

std::vector<RoundTrip> roundTrips()
{
    const QString twoLines = QStringLiteral("一行目の文章\r\n二行目 ") + kEmoji;
    return {
        {"onePageText", {textPage(twoLines)}, BackgroundKind::Colour, QStringLiteral("#FF8000"), 0,
         QStringLiteral(".htm")},
        {"onePageWide", {widePage(QStringLiteral("wide.jpg"), QStringLiteral("横長の絵"))},
         BackgroundKind::Picture, QStringLiteral("背景.gif"), 2, QStringLiteral(".html")},
        {"threePages",
         {textPage(twoLines), standardPage(QStringLiteral("a.gif"), QStringLiteral("ボタン")),
          widePage(QStringLiteral("w.png"), QStringLiteral("ピクチャ名称"))},
         BackgroundKind::Colour, QStringLiteral("#00ff00"), 1, QStringLiteral(".htm")},
        {"sixPagesPictureBackground",
         {standardPage(QString(), QStringLiteral("ピクチャ名称")), textPage(QString()),
          widePage(kEmoji + QStringLiteral(".gif"), QStringLiteral("絵 ") + kEmoji),
          textPage(QStringLiteral("<b>太字</b> &amp; &#65;")),
          standardPage(QStringLiteral("s.jpg"), QString()), textPage(twoLines)},
         BackgroundKind::Picture, kEmoji + QStringLiteral("bg.gif"), 2, QStringLiteral(".html")},
        {"sixPagesColour",
         {textPage(QStringLiteral("1")), textPage(QStringLiteral("2")),
          standardPage(QStringLiteral("3.gif"), QStringLiteral("3")), textPage(QStringLiteral("4")),
          widePage(QStringLiteral("5.gif"), QStringLiteral("5")), textPage(twoLines)},
         BackgroundKind::Colour, QString(), 0, QStringLiteral(".htm")},
    };
}

class ReadBack : public testing::TestWithParam<RoundTrip> {};

TEST_P(ReadBack, writtenSet_readsBackEqual)
{
    const RoundTrip &c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.path() + u'/';

    PageSet written;
    written.title = QStringLiteral("abc");
    for (std::size_t i = 0; i < c.pages.size(); ++i)
        written.pages[i] = c.pages[i];
    // Chosen as a click would: the attribute name follows the kind.
    selectBackgroundKind(written, c.background);
    written.backgroundValue = c.backgroundValue;
    PopupSettings settings;
    settings.robotsMode = c.robotsMode;
    settings.homeName = QStringLiteral("ホーム");
    settings.homeURL = QStringLiteral("http://example.com/");
    ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(out, written, c.ext, settings));

    const ReadOutcome outcome = readPageSetFiles(out, QStringLiteral("abc"), c.ext, resetSet(QStringLiteral("abc")));
    EXPECT_EQ(outcome.pagesRead, int(c.pages.size()));
    EXPECT_EQ(outcome.set, written);
}

TEST_P(ReadBack, ReadPageSet_showsSetAndNamesPagesRead)
{
    const RoundTrip &c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProgramPaths paths;
    paths.outputFolder = dir.path() + u'/';

    PageSet written;
    written.title = QStringLiteral("abc");
    for (std::size_t i = 0; i < c.pages.size(); ++i)
        written.pages[i] = c.pages[i];
    selectBackgroundKind(written, c.background);
    written.backgroundValue = c.backgroundValue;
    ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(paths.outputFolder, written, c.ext));

    RecordEditor editor(resetSet(QStringLiteral("abc")));
    EditorState state;
    state.readExtension = c.ext;
    state.extension = QStringLiteral(".other"); // the reader ignores the creation extension
    RecordingDesktop desktop;
    readPageSet(test::commandContext(editor, state, paths, desktop));

    EXPECT_EQ(editor.pageSet(), written);
    const QString last = QStringLiteral("abc_") + QString::number(c.pages.size()) + c.ext;
    const QString expected = c.pages.size() == 1
        ? QStringLiteral("ポップリーフ [ abc_1") + c.ext + QStringLiteral(" ] を読み込みました。")
        : QStringLiteral("ポップリーフ [ abc_1") + c.ext + QStringLiteral(" ] ～ [ ") + last
            + QStringLiteral(" ] を読み込みました。");
    EXPECT_EQ(desktop.calls, (QList<RecordingDesktop::Call>{{RecordingDesktop::Call::Information, expected}}));
}

INSTANTIATE_TEST_SUITE_P(Sets, ReadBack, testing::ValuesIn(roundTrips()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ReadReportMessage, namesOnePageOrTheRange)
{
    EXPECT_EQ(readReportMessage(QStringLiteral("abc"), QStringLiteral(".htm"), 1),
              QString::fromUtf8("ポップリーフ [ abc_1.htm ] を読み込みました。"));
    EXPECT_EQ(readReportMessage(QStringLiteral("abc"), QStringLiteral(".htm"), 3),
              QString::fromUtf8("ポップリーフ [ abc_1.htm ] \xEF\xBD\x9E [ abc_3.htm ] を読み込みました\xE3\x80\x82"));
    EXPECT_EQ(readReportMessage(QStringLiteral("x y"), QStringLiteral(".html"), 6),
              QString::fromUtf8("ポップリーフ [ x y_1.html ] ～ [ x y_6.html ] を読み込みました。"));
    EXPECT_EQ(readReportMessage(QStringLiteral("abc"), QStringLiteral(".htm"), 0),
              QString::fromUtf8("ファイルが見つかりません。"));
}

// Text as it stands in the file, and the page text the reader gives for it.
struct Reference {
    const char *line;
    QString text;
};

class CharacterReference : public testing::TestWithParam<Reference> {};

TEST_P(CharacterReference, onlyReferencesForUnencodableCharactersAreDecoded)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray line = QByteArray("<span id=\"param3\">") + GetParam().line + "</span>\r\n";
    ASSERT_NO_FATAL_FAILURE(writeFile(dir.filePath(QStringLiteral("r_1.htm")),
                                       line + "onClick=\"Check_E()\"\r\n"));

    const ReadOutcome outcome = readPageSetFiles(dir.path() + u'/', QStringLiteral("r"), QStringLiteral(".htm"), resetSet(QStringLiteral("r")));
    ASSERT_EQ(outcome.pagesRead, 1);
    EXPECT_EQ(outcome.set.page(1).kind, PageKind::Text);
    EXPECT_EQ(outcome.set.page(1).text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CharacterReference,
    testing::Values(
        Reference{"&#128512;", kEmoji},
        Reference{"a&#128512;&#128512;b", QStringLiteral("a") + kEmoji + kEmoji + QStringLiteral("b")},
        Reference{"&#233;t&#233;", QString::fromUtf8("\xC3\xA9t\xC3\xA9")},
        Reference{"&&#128512;", QStringLiteral("&") + kEmoji},
        // Characters CP932 holds are never written as references: typed text.
        Reference{"&#65;", QStringLiteral("&#65;")},
        Reference{"&#12354;", QStringLiteral("&#12354;")},
        Reference{"&#x1F600;", QStringLiteral("&#x1F600;")},
        // Not in the form the writer produces.
        Reference{"&#0128512;", QStringLiteral("&#0128512;")},
        Reference{"&#128512", QStringLiteral("&#128512")},
        Reference{"&#;", QStringLiteral("&#;")},
        Reference{"&#", QStringLiteral("&#")},
        Reference{"&#55357;", QStringLiteral("&#55357;")},          // a lone surrogate
        Reference{"&#1114112;", QStringLiteral("&#1114112;")},      // past U+10FFFF
        Reference{"&#99999999999999999999;", QStringLiteral("&#99999999999999999999;")}));

} // namespace
