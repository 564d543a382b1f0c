#include "core/text/page_encoding.h"

#include <gtest/gtest.h>

using namespace zelmora;

namespace {

struct DetectCase {
    const char *name;
    QByteArray start;
    PageEncoding expected;
};

void PrintTo(const DetectCase &c, std::ostream *os) { *os << c.name; }

class Detect : public testing::TestWithParam<DetectCase> {};

TEST_P(Detect, pageEncodingFromItsFirstBytes)
{
    EXPECT_EQ(detectPageEncoding(GetParam().start), GetParam().expected);
}

const QByteArray kShiftJisHead = "<html>\r\n<head>\r\n<style type=\"Text/css\"><!--\r\n"
                                 "--></style>\r\n<title>abc_1</title>\r\n</head>\r\n";

INSTANTIATE_TEST_SUITE_P(
    PageEncoding, Detect,
    testing::Values(
        DetectCase{"byteOrderMark", "\xEF\xBB\xBF<html>\r\n<head>\r\n", PageEncoding::Utf8},
        DetectCase{"markAlone", "\xEF\xBB\xBF", PageEncoding::Utf8},
        DetectCase{"writtenDeclarationWithoutMark",
                   "<html>\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n<title>x</title>\r\n",
                   PageEncoding::Utf8},
        DetectCase{"httpEquivFormInOtherCase",
                   "<HTML>\n<HEAD>\n  <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                   "Charset = utf8\">\n</HEAD>\n",
                   PageEncoding::Utf8},
        DetectCase{"unquotedLabel", "<head>\r\n<meta charset=utf-8>\r\n", PageEncoding::Utf8},
        DetectCase{"shiftJisPageDeclaresNothing", kShiftJisHead + "<body BgColor=\"\">\r\n",
                   PageEncoding::ShiftJis},
        DetectCase{"declaredShiftJis", "<head>\r\n<meta charset=\"Shift_JIS\">\r\n",
                   PageEncoding::ShiftJis},
        // What a Shift-JIS page's text or title holds is not a declaration.
        DetectCase{"declarationTypedIntoTheText",
                   kShiftJisHead + "<body>\r\n<meta charset=\"UTF-8\">\r\n", PageEncoding::ShiftJis},
        DetectCase{"titleMentioningACharset",
                   "<html>\r\n<head>\r\n<title>charset=utf-8_1</title>\r\n", PageEncoding::ShiftJis},
        DetectCase{"markNotAtTheStart", "<html>\xEF\xBB\xBF\r\n", PageEncoding::ShiftJis},
        // The label's last byte is the prescan's last: 46 bytes of markup around the style's text.
        DetectCase{"declarationEndingThePrescanAfterALongStyle",
                   "<head>\r\n<style>\r\n" + QByteArray(kEncodingPrescanBytes - 46, 'p') + "</style>\r\n<meta charset=UTF-8>",
                   PageEncoding::Utf8},
        DetectCase{"declarationBeyondThePrescan",
                   "<head>\r\n" + QByteArray(kEncodingPrescanBytes, ' ') + "\r\n<meta charset=\"UTF-8\">\r\n",
                   PageEncoding::ShiftJis},
        DetectCase{"empty", "", PageEncoding::ShiftJis}),
    [](const testing::TestParamInfo<DetectCase> &info) { return std::string(info.param.name); });

TEST(PageEncoding, settingOneIsUtf8AndEverythingElseShiftJis)
{
    EXPECT_EQ(pageEncodingFromSetting(QStringLiteral("1")), PageEncoding::Utf8);
    for (const char *other : {"0", "", "2", "01", "UTF-8", "１"})
        EXPECT_EQ(pageEncodingFromSetting(QString::fromUtf8(other)), PageEncoding::ShiftJis) << other;
    for (PageEncoding e : {PageEncoding::ShiftJis, PageEncoding::Utf8})
        EXPECT_EQ(pageEncodingFromSetting(settingFromPageEncoding(e)), e);
}

TEST(PageEncoding, utf8LinesAfterTheMarkAndShiftJisAsBefore)
{
    const QStringList lines{QStringLiteral("<html>"), QStringLiteral("<head>"),
                            QStringLiteral("<title>春😀</title>")};
    const QStringList declared = withCharsetDeclaration(lines, PageEncoding::Utf8);
    ASSERT_EQ(declared.size(), 4);
    EXPECT_EQ(declared[2], QStringLiteral("<meta charset=\"UTF-8\">"));
    EXPECT_EQ(withCharsetDeclaration(lines, PageEncoding::ShiftJis), lines);

    EXPECT_EQ(encodePageLines(declared, PageEncoding::Utf8),
              QByteArray("\xEF\xBB\xBF<html>\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n"
                         "<title>\xE6\x98\xA5\xF0\x9F\x98\x80</title>\r\n"));
    EXPECT_EQ(encodePageLines(lines, PageEncoding::ShiftJis),
              QByteArray("<html>\r\n<head>\r\n<title>\x8F\x74&#128512;</title>\r\n"));

    EXPECT_EQ(decodeUtf8("\xEF\xBB\xBF\xE6\x98\xA5"), QStringLiteral("春"));
    EXPECT_EQ(decodeUtf8("a\xFF"), QStringLiteral("a\uFFFD"));
}

} // namespace
