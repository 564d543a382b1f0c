// Hand-edited, partial and foreign files: the reader takes what the rules
// find, ends the set where a page is missing and never fails.
#include "core/reopen/page_reader.h"
#include "support/test_windows.h"
#include "support/record_editor.h"

#include "support/reopen_test_support.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

const char *const kCloseLine = "<input type=\"button\" value=\"閉じる\" onClick=\"Check_E()\">";
const char *const kNextLine = "<input type=\"button\" value=\"次へ\" onClick=\"Check('abc_2.htm',event)\">";

class Reader : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_out = m_dir.path() + QStringLiteral("/out/");
        ASSERT_TRUE(QDir().mkpath(m_out));
    }

    QString pagePath(int n, const char *ext = ".htm") const
    {
        return m_out + QStringLiteral("abc_") + QString::number(n) + QString::fromUtf8(ext);
    }

    // Page n of the set abc as the given lines, in CP932.
    void writePage(int n, std::initializer_list<const char *> lines)
    {
        ASSERT_NO_FATAL_FAILURE(writeFile(pagePath(n), sjisFile(lines)));
    }

    ReadOutcome read(const QString &title = QStringLiteral("abc"))
    {
        return readPageSetFiles(m_out, title, QStringLiteral(".htm"), resetSet(title));
    }

    QTemporaryDir m_dir;
    QString m_out;
};

PageSet sampleSet(int pages)
{
    PageSet set;
    set.title = QStringLiteral("abc");
    for (int k = 1; k <= pages; ++k) {
        set.page(k).kind = PageKind::Text;
        set.page(k).text = QStringLiteral("page ") + QString::number(k);
    }
    selectBackgroundKind(set, BackgroundKind::Colour);
    set.backgroundValue = QStringLiteral("#123456");
    return set;
}

TEST_F(Reader, olderPage4BesideThreePageSet_readsThreePages)
{
    PageSet older = sampleSet(6);
    older.page(4).text = QStringLiteral("old");
    ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_out, older, QStringLiteral(".htm")));
    const PageSet current = sampleSet(3);
    ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_out, current, QStringLiteral(".htm")));

    const ReadOutcome outcome = read();
    EXPECT_EQ(outcome.pagesRead, 3);
    EXPECT_EQ(outcome.set, current);
    EXPECT_EQ(readReportMessage(QStringLiteral("abc"), QStringLiteral(".htm"), outcome.pagesRead),
              QString::fromUtf8("ポップリーフ [ abc_1.htm ] ～ [ abc_3.htm ] を読み込みました。"));
}

TEST_F(Reader, missingPage2AfterLinkedPage1_keepsPage1)
{
    const PageSet set = sampleSet(2);
    ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_out, set, QStringLiteral(".htm")));
    ASSERT_TRUE(QFile::remove(pagePath(2)));

    ProgramPaths paths;
    paths.outputFolder = m_out;
    RecordEditor editor(resetSet(QStringLiteral("abc")));
    EditorState state;
    state.readExtension = QStringLiteral(".htm");
    RecordingDesktop desktop;
    readPageSet(test::commandContext(editor, state, paths, desktop));

    PageSet expected = set;
    expected.page(2) = Page{};
    EXPECT_EQ(editor.pageSet(), expected);
    EXPECT_EQ(desktop.calls, (QList<RecordingDesktop::Call>{
                                 {RecordingDesktop::Call::Information,
                                  QString::fromUtf8("ポップリーフ [ abc_1.htm ] を読み込みました。")}}));
}

TEST_F(Reader, page1NotFound_plainMessageAndEditorUntouched)
{
    ProgramPaths paths;
    paths.outputFolder = m_out;
    PageSet before = sampleSet(2); // what the editor held, even unreset
    RecordEditor editor(before);
    EditorState state;
    state.readExtension = QStringLiteral(".htm");
    RecordingDesktop desktop;
    readPageSet(test::commandContext(editor, state, paths, desktop));

    EXPECT_EQ(editor.pageSet(), before);
    EXPECT_EQ(desktop.calls, (QList<RecordingDesktop::Call>{
                                 {RecordingDesktop::Call::Plain,
                                  QString::fromUtf8("ファイルが見つかりません。")}}));
}

TEST_F(Reader, closeButtonEndsSetBeforePage6_page6ReadToItsEnd)
{
    const PageSet six = sampleSet(6);
    ASSERT_NO_FATAL_FAILURE(writeSetAsCreated(m_out, six, QStringLiteral(".htm")));
    // Lines after the close button: ignored on page 1 to 5, read on page 6.
    QFile page6(pagePath(6));
    ASSERT_TRUE(page6.open(QIODevice::Append));
    page6.write("<span id=\"param3\">after the end</span>\r\n");
    page6.close();

    ReadOutcome outcome = read();
    EXPECT_EQ(outcome.pagesRead, 6);
    EXPECT_EQ(outcome.set.page(6).text, QStringLiteral("after the end"));

    writePage(2, {"<span id=\"param3\">two</span>", kCloseLine, "<span id=\"param3\">late</span>"});
    outcome = read();
    EXPECT_EQ(outcome.pagesRead, 2);
    EXPECT_EQ(outcome.set.page(2).text, QStringLiteral("two"));
    EXPECT_EQ(outcome.set.page(3).kind, PageKind::None);
}

// An image line and the page kind it gives.
struct ImageLine {
    const char *name;
    const char *line;
    PageKind kind;
};

void PrintTo(const ImageLine &c, std::ostream *os) { *os << c.name; }

class ImageLines : public Reader, public testing::WithParamInterface<ImageLine> {};

TEST_P(ImageLines, widthDecidesKind_brokenLinesYieldNothing)
{
    writePage(1, {"<body BgColor=\"\" onblur=\"Check_E()\">", GetParam().line, kCloseLine});
    const ReadOutcome outcome = read();
    ASSERT_EQ(outcome.pagesRead, 1);
    const Page &page = outcome.set.page(1);
    EXPECT_EQ(page.kind, GetParam().kind);
    Page expected;
    expected.kind = GetParam().kind;
    if (GetParam().kind == PageKind::StandardPicture) {
        expected.standardFile = QStringLiteral("a.gif");
        expected.standardAlt = QStringLiteral("絵");
    } else if (GetParam().kind == PageKind::WidePicture) {
        expected.wideFile = QStringLiteral("a.gif");
        expected.wideAlt = QStringLiteral("絵");
    }
    EXPECT_EQ(page, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ImageLines,
    testing::Values(
        ImageLine{"w150", "<img src=\"a.gif\" width=\"150\" height=\"115\" alt=\"絵\">", PageKind::StandardPicture},
        ImageLine{"w250", "<img src=\"a.gif\" width=\"250\" height=\"115\" alt=\"絵\">", PageKind::WidePicture},
        ImageLine{"w300", "<img src=\"a.gif\" width=\"300\" height=\"115\" alt=\"絵\">", PageKind::None},
        ImageLine{"w0150", "<img src=\"a.gif\" width=\"0150\" alt=\"絵\">", PageKind::StandardPicture},
        ImageLine{"altBeforeWidth", "<img src=\"a.gif\" alt=\"絵\" width=\"250\">", PageKind::WidePicture},
        ImageLine{"wNotNumber", "<img src=\"a.gif\" width=\"abc\" alt=\"絵\">", PageKind::None},
        ImageLine{"wPx", "<img src=\"a.gif\" width=\"150px\" alt=\"絵\">", PageKind::None},
        ImageLine{"wEmpty", "<img src=\"a.gif\" width=\"\" alt=\"絵\">", PageKind::None},
        ImageLine{"wFullWidth", "<img src=\"a.gif\" width=\"１５０\" alt=\"絵\">", PageKind::None},
        ImageLine{"wHuge", "<img src=\"a.gif\" width=\"99999999999999999150\" alt=\"絵\">", PageKind::None},
        ImageLine{"noWidth", "<img src=\"a.gif\" height=\"115\" alt=\"絵\">", PageKind::None},
        ImageLine{"noAlt", "<img src=\"a.gif\" width=\"150\" height=\"115\">", PageKind::None},
        ImageLine{"widthOnlyInFileName", "<img src=\"width=\"150\".gif\" alt=\"絵\">", PageKind::None},
        ImageLine{"fileUnclosed", "<img src=\"a.gif", PageKind::None},
        ImageLine{"markerAtEnd", "<img src=", PageKind::None},
        ImageLine{"widthUnclosed", "<img src=\"a.gif\" alt=\"絵\" width=\"150", PageKind::None},
        ImageLine{"altUnclosed", "<img src=\"a.gif\" width=\"150\" alt=\"絵", PageKind::None},
        ImageLine{"upperCase", "<IMG SRC=\"a.gif\" WIDTH=\"150\" ALT=\"絵\">", PageKind::None}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Reader, textLines_needTheirEndTag_andWinOverPictureOnTheSameLine)
{
    writePage(1, {"<span id=\"param3\">no end",
                  "<span id=\"param3\"",
                  "<SPAN id=\"param3\">upper case</SPAN>",
                  "<span id=\"param2\">home</span>",
                  kCloseLine});
    EXPECT_EQ(read().set.page(1).kind, PageKind::None);

    // Both markers, text rule failing: no picture either.
    writePage(1, {"<span id=\"param3\"><img src=\"a.gif\" width=\"150\" alt=\"x\">", kCloseLine});
    EXPECT_EQ(read().set.page(1).kind, PageKind::None);

    writePage(1, {"<span id=\"param3\">broken",
                  "<span id=\"param3\"><img src=\"a.gif\" width=\"150\" alt=\"x\"></span>",
                  "<span id=\"param3\">half</span",
                  kCloseLine});
    const Page page = read().set.page(1);
    EXPECT_EQ(page.kind, PageKind::Text);
    EXPECT_EQ(page.text, QStringLiteral("<img src=\"a.gif\" width=\"150\" alt=\"x\">"));
    EXPECT_TRUE(page.standardFile.isEmpty());
}

TEST_F(Reader, textBreaks_onlyUpperCaseBRBecomesCrLf)
{
    writePage(1, {"<span id=\"param3\">a<BR>b<br>c<BR><BR>d<BR</span>", kCloseLine});
    EXPECT_EQ(read().set.page(1).text, QStringLiteral("a\r\nb<br>c\r\n\r\nd<BR"));
}

struct BackgroundCase {
    const char *name;
    std::vector<const char *> lines;
    BackgroundKind kind;
    const char *attribute;
    const char *value;
};

void PrintTo(const BackgroundCase &c, std::ostream *os) { *os << c.name; }

class Backgrounds : public Reader, public testing::WithParamInterface<BackgroundCase> {};

TEST_P(Backgrounds, laterLineOverrides_colourMarkerFirstOnALine)
{
    QList<QByteArray> lines;
    for (const char *line : GetParam().lines)
        lines << sjis(line);
    lines << sjis(kCloseLine);
    ASSERT_NO_FATAL_FAILURE(writeFile(pagePath(1), crlfJoin(lines)));
    const PageSet set = read().set;
    EXPECT_EQ(set.backgroundKind, GetParam().kind);
    EXPECT_EQ(set.backgroundAttribute, QString::fromUtf8(GetParam().attribute));
    EXPECT_EQ(set.backgroundValue, QString::fromUtf8(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(
    Page1, Backgrounds,
    testing::Values(
        BackgroundCase{"colour", {"<body BgColor=\"#ff0000\" onblur=\"Check_E()\">"}, BackgroundKind::Colour, "BgColor=", "#ff0000"},
        BackgroundCase{"picture", {"<body BackGround=\"背景.gif\" onblur=\"Check_E()\">"}, BackgroundKind::Picture, "BackGround=", "背景.gif"},
        BackgroundCase{"laterWins", {"<body BgColor=\"#ff0000\">", "x BackGround=\"b.gif\""}, BackgroundKind::Picture, "BackGround=", "b.gif"},
        BackgroundCase{"bothOnOneLine", {"BackGround=\"b.gif\" BgColor=\"#00ff00\""}, BackgroundKind::Colour, "BgColor=", "#00ff00"},
        BackgroundCase{"colourUnclosedHidesPicture", {"BgColor=\"#00ff00 BackGround=b.gif"}, BackgroundKind::Colour, "BgColor=", ""},
        BackgroundCase{"unclosedKeepsEarlier", {"BackGround=\"b.gif\"", "BgColor=\"#00ff00"}, BackgroundKind::Picture, "BackGround=", "b.gif"},
        BackgroundCase{"lowerCase", {"<body bgcolor=\"#ff0000\" background=\"b.gif\">"}, BackgroundKind::Colour, "BgColor=", ""},
        BackgroundCase{"markerAtEnd", {"BgColor="}, BackgroundKind::Colour, "BgColor=", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Reader, backgroundReadFromPage1Only)
{
    writePage(1, {"<body BgColor=\"#111111\" onblur=\"Check('abc_2.htm',event)\">", kNextLine});
    writePage(2, {"<body BackGround=\"b.gif\" onblur=\"Check_E()\">", kCloseLine});
    const ReadOutcome outcome = read();
    EXPECT_EQ(outcome.pagesRead, 2);
    EXPECT_EQ(outcome.set.backgroundKind, BackgroundKind::Colour);
    EXPECT_EQ(outcome.set.backgroundValue, QStringLiteral("#111111"));
}

TEST_F(Reader, lowerCaseCloseMarker_isNoEnd)
{
    writePage(1, {"<span id=\"param3\">one</span>", "<input onclick=\"Check_E()\">"});
    writePage(2, {"<span id=\"param3\">two</span>", kCloseLine});
    const ReadOutcome outcome = read();
    EXPECT_EQ(outcome.pagesRead, 2);
    EXPECT_EQ(outcome.set.page(2).text, QStringLiteral("two"));
}

TEST_F(Reader, pagesThatAreNoRegularFile_countAsNotFound)
{
    // Page 1 a folder: not found.
    ASSERT_TRUE(QDir().mkdir(pagePath(1)));
    EXPECT_EQ(read().pagesRead, 0);
    ASSERT_TRUE(QDir().rmdir(pagePath(1)));

    // Page 1 a link to an endless device: not found, and no hang.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), pagePath(1)));
    EXPECT_EQ(read().pagesRead, 0);
    ASSERT_TRUE(QFile::remove(pagePath(1)));

    // Page 2 a FIFO nobody writes to: the set ends after page 1, no hang.
    writePage(1, {"<span id=\"param3\">one</span>", kNextLine});
    ASSERT_EQ(::mkfifo(QFile::encodeName(pagePath(2)).constData(), 0600), 0);
    const ReadOutcome outcome = read();
    EXPECT_EQ(outcome.pagesRead, 1);
    EXPECT_EQ(outcome.set.page(1).text, QStringLiteral("one"));
}

TEST_F(Reader, bytesThatAreNotCp932_doNotStopReading)
{
    // Invalid lead and trail bytes, NULs, UTF-8: each bad byte reads as U+FFFD.
    const char raw[] = "\x81\xff\x80\xa0\xfd\0\0<span id=\"param3\">\x82\xa0\xff</span>\r\n"
                       "\xef\xbb\xbf\xe2\x82\xac BgColor=\"\x89\"\r\n"
                       "onClick=\"Check_E()\"\r\n";
    ASSERT_NO_FATAL_FAILURE(writeFile(pagePath(1), QByteArray(raw, sizeof raw - 1)));
    const ReadOutcome outcome = read();
    EXPECT_EQ(outcome.pagesRead, 1);
    EXPECT_EQ(outcome.set.page(1).kind, PageKind::Text);
    EXPECT_EQ(outcome.set.page(1).text, QString::fromUtf8("あ\xEF\xBF\xBD"));
    EXPECT_EQ(outcome.set.backgroundValue, QString::fromUtf8("\xEF\xBF\xBD"));
}

TEST_F(Reader, titleWithSeparator_readsNothingOutsideTheFolder)
{
    // A set outside the output folder that a title like "../abc" would name.
    ASSERT_NO_FATAL_FAILURE(writeFile(m_dir.filePath(QStringLiteral("abc_1.htm")),
                                       sjisFile({"<span id=\"param3\">outside</span>", kCloseLine})));
    EXPECT_EQ(read(QStringLiteral("../abc")).pagesRead, 0);
    EXPECT_EQ(readPageSetFiles(m_out, QStringLiteral("abc"), QStringLiteral("/../../abc"),
                               resetSet(QStringLiteral("abc"))).pagesRead, 0);
}

} // namespace
