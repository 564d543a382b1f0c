#include "core/model/page_set.h"

#include <gtest/gtest.h>

using namespace zelmora;

namespace {

PageSet withKinds(std::initializer_list<PageKind> kinds)
{
    PageSet set;
    int k = 1;
    for (PageKind kind : kinds)
        set.page(k++).kind = kind;
    return set;
}

constexpr auto None = PageKind::None;
constexpr auto Text = PageKind::Text;
constexpr auto Std = PageKind::StandardPicture;
constexpr auto Wide = PageKind::WidePicture;

} // namespace

TEST(PageSet, startsWithTheInitialValues)
{
    const PageSet set;
    EXPECT_TRUE(set.title.isEmpty());
    for (const Page &page : set.pages) {
        EXPECT_EQ(page.kind, None);
        EXPECT_TRUE(page.text.isEmpty());
        EXPECT_TRUE(page.standardFile.isEmpty());
        EXPECT_TRUE(page.wideFile.isEmpty());
        EXPECT_EQ(page.standardAlt, QStringLiteral("ピクチャ名称"));
        EXPECT_EQ(page.wideAlt, QStringLiteral("ピクチャ名称"));
    }
    EXPECT_EQ(set.backgroundKind, BackgroundKind::Colour);
    EXPECT_EQ(set.backgroundAttribute, QString::fromUtf8("BgColor\xEF\xBC\x9D")); // full-width ＝
    EXPECT_TRUE(set.backgroundValue.isEmpty());
}

TEST(PageSet, extentEndsBeforeTheFirstPageOfKindNone)
{
    EXPECT_EQ(pageCount(withKinds({None, Text, Text, Text, Text, Text})), 0);
    EXPECT_EQ(pageCount(withKinds({Text, Text, None, Std, Wide, Text})), 2);
    EXPECT_EQ(pageCount(withKinds({Text, Std, Wide, Text, Std, Wide})), 6);
    EXPECT_EQ(pageCount(withKinds({Wide})), 1);

    const PageSet six = withKinds({Text, Std, Wide, Text, Std, Wide});
    EXPECT_TRUE(isLinkedPage(six, 5));
    EXPECT_FALSE(isLinkedPage(six, 6));
    EXPECT_FALSE(isLinkedPage(withKinds({Text, None, Text}), 1));
}

TEST(PageSet, contentsDescriptionPerKind)
{
    Page page;
    page.kind = Text;
    page.text = QStringLiteral("whatever");
    EXPECT_EQ(contentsDescription(page), QStringLiteral("Text"));
    page.kind = Std;
    page.standardFile = QStringLiteral("a.gif");
    page.standardAlt = QStringLiteral("cat");
    EXPECT_EQ(contentsDescription(page),
              QString::fromUtf8("IMG\u3000\u3000a.gif\u3000\u3000cat\u3000\u3000" "115*150"));
    page.kind = Wide;
    page.wideFile = QStringLiteral("w.jpg");
    EXPECT_EQ(contentsDescription(page),
              QString::fromUtf8("IMG\u3000\u3000w.jpg\u3000\u3000ピクチャ名称\u3000\u3000" "115*250"));
}

TEST(PageSet, resetKeepsTheTitleAndClearsEverythingElse)
{
    PageSet set = withKinds({Text, Std, Wide, Text, Text, Text});
    set.title = QStringLiteral("abc");
    set.page(1).text = QStringLiteral("x");
    set.page(2).standardFile = QStringLiteral("a.gif");
    set.page(2).standardAlt = QStringLiteral("a.gif");
    set.page(3).wideAlt = QStringLiteral("w");
    selectBackgroundKind(set, BackgroundKind::Picture);
    set.backgroundValue = QStringLiteral("back.gif");

    resetPageSet(set);

    PageSet expected;
    expected.title = QStringLiteral("abc");
    expected.backgroundAttribute = QStringLiteral("BgColor="); // the kind rule ran
    EXPECT_EQ(set, expected);
}

TEST(PageSet, backgroundKindRuleSetsTheAttributeAndEmptiesTheValue)
{
    PageSet set;
    set.backgroundValue = QStringLiteral("#FFFFFF");
    selectBackgroundKind(set, BackgroundKind::Picture);
    EXPECT_EQ(set.backgroundAttribute, QStringLiteral("BackGround="));
    EXPECT_TRUE(set.backgroundValue.isEmpty());
    set.backgroundValue = QStringLiteral("a.gif");
    selectBackgroundKind(set, BackgroundKind::Colour);
    EXPECT_EQ(set.backgroundAttribute, QStringLiteral("BgColor="));
    EXPECT_TRUE(set.backgroundValue.isEmpty());
}

TEST(PageSet, titleCheckRefusesSeparatorsNulQuotesAndControls)
{
    EXPECT_EQ(forbiddenTitleCharacter(QStringLiteral("a/b")), QChar(u'/'));
    EXPECT_EQ(forbiddenTitleCharacter(QStringLiteral("..\\x")), QChar(u'\\'));
    EXPECT_EQ(forbiddenTitleCharacter(QString(QChar(0))), QChar(0));
    EXPECT_EQ(forbiddenTitleCharacter(QStringLiteral("春の 'x' \"y\"")), QChar(u'\''));
    EXPECT_EQ(forbiddenTitleCharacter(QStringLiteral("a\u0085b")), QChar(0x85)) << "a C1 control";
    EXPECT_FALSE(forbiddenTitleCharacter(QStringLiteral("")));
    EXPECT_FALSE(forbiddenTitleCharacter(QStringLiteral("春の <b>&amp; ～ ’x’ ”y”")));
    EXPECT_TRUE(forbiddenTitleMessage(QChar(u'/')).contains(QStringLiteral("「/」")));
    // The reader refuses only what would leave the output folder, so an
    // older set whose title holds a quote still opens.
    EXPECT_FALSE(separatorInName(QStringLiteral("it's\t\"x\"")));
    EXPECT_EQ(separatorInName(QStringLiteral("a/b")), QChar(u'/'));
}

TEST(EditorState, contentsAreAddressedByPageNumber)
{
    EditorState state;
    state.contents(1) = QStringLiteral("one");
    state.contents(6) = QStringLiteral("six");
    EXPECT_EQ(state.contents(1), QStringLiteral("one"));
    EXPECT_EQ(state.contents(6), QStringLiteral("six"));
    EXPECT_THROW(state.contents(7), std::out_of_range);
}
