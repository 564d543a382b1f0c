#include "core/reopen/set_name.h"

#include <gtest/gtest.h>

using namespace zelmora;

namespace zelmora {
inline void PrintTo(const SetName &n, std::ostream *os)
{
    *os << "{\"" << n.title.toStdString() << "\", \"" << n.ext.toStdString() << "\"}";
}
} // namespace zelmora

namespace {

struct NameCase {
    const char *name;
    std::optional<SetName> expected;
};

void PrintTo(const NameCase &c, std::ostream *os) { *os << c.name; }

SetName set(const char *title, const char *ext)
{
    return {QString::fromUtf8(title), QString::fromUtf8(ext)};
}

class SetNames : public testing::TestWithParam<NameCase> {};

TEST_P(SetNames, patternsGiveTitleAndExtension)
{
    EXPECT_EQ(matchSetName(QString::fromUtf8(GetParam().name)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    FileNames, SetNames,
    testing::Values(
        NameCase{"abc_3.htm", set("abc", ".htm")},
        NameCase{"abc_data.html", set("abc", ".html")},
        NameCase{"abc_data.htm", set("abc", ".htm")},
        NameCase{"abc_1.html", set("abc", ".html")},
        NameCase{"abc_0.htm", set("abc", ".htm")},
        NameCase{"x_data_1.htm", set("x_data", ".htm")},
        NameCase{"x_1_data.html", set("x_1", ".html")},
        NameCase{"タイトル 名_9.html", set("タイトル 名", ".html")},
        NameCase{"_1.htm", set("", ".htm")},
        NameCase{"_data.html", set("", ".html")},
        NameCase{"abc_12.htm", std::nullopt},
        NameCase{"abc.htm", std::nullopt},
        NameCase{"abc_1.HTM", std::nullopt},
        NameCase{"abc_DATA.htm", std::nullopt},
        NameCase{"abc_Data.html", std::nullopt},
        NameCase{"abc_x.htm", std::nullopt},
        NameCase{"abc_１.htm", std::nullopt}, // full-width digit
        NameCase{"abc-1.htm", std::nullopt},
        NameCase{"abc_1.htm.bak", std::nullopt},
        NameCase{"abc_1.htmx", std::nullopt},
        NameCase{"1.htm", std::nullopt},
        NameCase{".htm", std::nullopt},
        NameCase{"", std::nullopt}),
    [](const testing::TestParamInfo<NameCase> &info) { return "case" + std::to_string(info.index); });

} // namespace
