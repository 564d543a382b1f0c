#include "core/preview/preview_pages.h"

#include "support/file_compare.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

std::optional<FileError> writeClassicPreview(const PageSet &set, EditorState &state, const ProgramPaths &paths)
{
    return writePreviewPages(set, state, paths, *setWriter(PageFormat::Classic, PageEncoding::ShiftJis));
}

QByteArray expectedPreview(const char *title_k, const char *body, const char *content)
{
    return sjisFile({
        "<html>",
        "<head>",
        "<style type=\"Text/css\"><!--",
        "span#param3{font-size:12pt;family:ＭＳゴシック;}",
        "--></style>",
        title_k,
        "</head>",
        body,
        "<table border=\"0\">",
        "<tr><td width=\"320\" height=\"120\" valign=\"top\">",
        content,
        "</td></tr>",
        "<tr><td align=\"right\">",
        "</td></tr>",
        "</table>",
        "</body>",
        "</html>",
    });
}

struct PreviewFixture : testing::Test {
    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    PageSet set;

    QByteArray page(int k) const
    {
        return readAll(paths.previewFolder + set.title + u'_' + QString::number(k) + QStringLiteral(".htm"));
    }
};

} // namespace

TEST_F(PreviewFixture, writesEachKindWithSeventeenRows)
{
    set.title = QStringLiteral("abc");
    selectBackgroundKind(set, BackgroundKind::Colour);
    set.backgroundValue = QStringLiteral("#FFCC00");
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("AB\r\nCD");
    set.page(2).kind = PageKind::StandardPicture;
    set.page(2).standardFile = QStringLiteral("a.gif");
    set.page(3).kind = PageKind::WidePicture;
    set.page(3).wideFile = QStringLiteral("w.gif");
    set.page(3).wideAlt = QStringLiteral("wide");
    set.page(3).standardFile = QStringLiteral("ignored.gif");

    ASSERT_FALSE(writeClassicPreview(set, state, paths));

    const char *body = "<body BgColor=\"#FFCC00\" scroll=\"no\">";
    EXPECT_TRUE(sameBytes(expectedPreview("<title>abc_1</title>", body,
                                          "<span id=\"param3\">AB<BR>CD</span>"),
                          page(1)));
    EXPECT_TRUE(sameBytes(expectedPreview("<title>abc_2</title>", body,
                                          "<img src=\"../Popleaf/a.gif\" width=\"150\" height=\"115\" alt=\"ピクチャ名称\">"),
                          page(2)));
    EXPECT_TRUE(sameBytes(expectedPreview("<title>abc_3</title>", body,
                                          "<img src=\"../Popleaf/w.gif\" width=\"250\" height=\"115\" alt=\"wide\">"),
                          page(3)));
    EXPECT_EQ(state.lastTitle, QStringLiteral("abc"));
    EXPECT_EQ(state.contents(1), QStringLiteral("Text"));
    EXPECT_TRUE(state.contents(3).endsWith(QStringLiteral("115*250")));
}

TEST_F(PreviewFixture, backgroundPictureIsReachedFromTheTemporaryFolder)
{
    set.title = QStringLiteral("p");
    selectBackgroundKind(set, BackgroundKind::Picture);
    set.backgroundValue = QStringLiteral("back.gif");
    set.page(1).kind = PageKind::Text;
    ASSERT_FALSE(writeClassicPreview(set, state, paths));
    EXPECT_TRUE(sameBytes(expectedPreview("<title>p_1</title>",
                                          "<body BackGround=\"../Popleaf/back.gif\" scroll=\"no\">",
                                          "<span id=\"param3\"></span>"),
                          page(1)));
}

TEST_F(PreviewFixture, writesOnlyThePagesOfTheSetAndKeepsOtherDescriptions)
{
    state.contents(3) = QStringLiteral("old 3");
    state.contents(4) = QStringLiteral("old 4");
    set.title = QStringLiteral("gap");
    for (int k : {1, 2, 4, 5, 6})
        set.page(k).kind = PageKind::Text;
    ASSERT_FALSE(writeClassicPreview(set, state, paths));
    EXPECT_TRUE(QFileInfo::exists(paths.previewFolder + QStringLiteral("gap_2.htm")));
    EXPECT_FALSE(QFileInfo::exists(paths.previewFolder + QStringLiteral("gap_3.htm")));
    EXPECT_FALSE(QFileInfo::exists(paths.previewFolder + QStringLiteral("gap_4.htm")));
    EXPECT_EQ(state.contents(2), QStringLiteral("Text"));
    EXPECT_EQ(state.contents(3), QStringLiteral("old 3"));
    EXPECT_EQ(state.contents(4), QStringLiteral("old 4"));
}

TEST_F(PreviewFixture, emptyFirstPageWritesNothingButTakesTheTitle)
{
    state.contents(1) = QStringLiteral("kept");
    set.title = QStringLiteral("none");
    set.page(2).kind = PageKind::Text;
    ASSERT_FALSE(writeClassicPreview(set, state, paths));
    EXPECT_EQ(state.lastTitle, QStringLiteral("none"));
    EXPECT_EQ(state.contents(1), QStringLiteral("kept"));
    EXPECT_TRUE(QDir(paths.previewFolder).entryList(QDir::Files).isEmpty());
}

TEST_F(PreviewFixture, emptyTitleAndSixPagesAlwaysUseHtm)
{
    for (Page &p : set.pages)
        p.kind = PageKind::Text;
    ASSERT_FALSE(writeClassicPreview(set, state, paths));
    const QStringList files = QDir(paths.previewFolder).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"_1.htm", "_2.htm", "_3.htm", "_4.htm", "_5.htm", "_6.htm"}));
    EXPECT_TRUE(page(1).contains("\r\n<title>_1</title>\r\n"));
    EXPECT_EQ(page(6).count("\r\n"), 17);
}

TEST_F(PreviewFixture, unwritablePageIsReported)
{
    set.title = QStringLiteral("x");
    set.page(1).kind = PageKind::Text;
    ASSERT_TRUE(QDir().mkpath(paths.previewFolder + QStringLiteral("x_1.htm")));
    const auto error = writeClassicPreview(set, state, paths);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, paths.previewFolder + QStringLiteral("x_1.htm"));
}
