#include "core/text/half_width.h"

#include <gtest/gtest.h>

using namespace zelmora;

struct HalfWidthCase {
    const char *input;
    const char *expected;
};

class HalfWidth : public testing::TestWithParam<HalfWidthCase> {};

TEST_P(HalfWidth, convertsByTheBodyAttributeRule)
{
    EXPECT_EQ(toHalfWidth(QString::fromUtf8(GetParam().input)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HalfWidth,
    testing::Values(
        HalfWidthCase{"BgColor＝\"#FF00FF\"", "BgColor=\"#FF00FF\""},
        HalfWidthCase{"！～ＡＺａｚ０９＃", "!~AZaz09#"},
        HalfWidthCase{"a　b", "a b"},
        HalfWidthCase{"ガギグゲゴパピプペポ", "ｶﾞｷﾞｸﾞｹﾞｺﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
        HalfWidthCase{"ヴヷヺ", "ｳﾞﾜﾞｦﾞ"},
        HalfWidthCase{"アイウエオヲンッャュョァー", "ｱｲｳｴｵｦﾝｯｬｭｮｧｰ"},
        HalfWidthCase{"。「」、・゛゜", "｡｢｣､･ﾞﾟ"},
        // No half-width form: kept as they are.
        HalfWidthCase{"ひらがな漢字ヮヰヱヵヶヸ￥", "ひらがな漢字ヮヰヱヵヶヸ￥"},
        HalfWidthCase{"ﾊﾞｯｸ.gif", "ﾊﾞｯｸ.gif"},
        HalfWidthCase{"", ""}));

TEST(HalfWidthTable, everyHalfWidthKatakanaHasItsFullWidthSource)
{
    // Each of U+FF66..U+FF9D is reached from exactly the full-width letter
    // that Unicode names as its wide form.
    for (char16_t narrow = 0xFF66; narrow <= 0xFF9D; ++narrow) {
        const QString wide = QChar(narrow).decomposition();
        ASSERT_EQ(wide.size(), 1) << int(narrow);
        EXPECT_EQ(toHalfWidth(wide), QString(QChar(narrow))) << int(narrow);
    }
}
