#include "core/text/cp932.h"

#include <gtest/gtest.h>

using namespace zelmora;

TEST(Cp932, encodesJapaneseAsShiftJis)
{
    EXPECT_EQ(encodeCp932(QStringLiteral("次へ")), QByteArray("\x8E\x9F\x82\xD6"));
    // "～" (U+FF5E) and "－" (U+FF0D) take the Windows codes, not the JIS ones.
    EXPECT_EQ(encodeCp932(QStringLiteral("～－")), QByteArray("\x81\x60\x81\x7C"));
    EXPECT_EQ(encodeCp932(QStringLiteral("ｱｶﾞ")), QByteArray("\xB1\xB6\xDE"));
}

TEST(Cp932, writesUnencodableCharactersAsDecimalReferences)
{
    EXPECT_EQ(encodeCp932(QStringLiteral("a😀b")), QByteArray("a&#128512;b"));
    EXPECT_EQ(encodeCp932(QStringLiteral("é")), QByteArray("&#233;"));
    EXPECT_FALSE(isCp932Encodable(QStringLiteral("😀")));
    EXPECT_TRUE(isCp932Encodable(QStringLiteral("ポップリーフ abc")));
}

TEST(Cp932, asciiControlCodesKeepTheirOwnBytes)
{
    const QString text = QString(QChar(0x1A)) + QChar(0x1C) + QChar(0x7F) + u'A';
    EXPECT_EQ(encodeCp932(text), QByteArray("\x1A\x1C\x7F" "A"));
    EXPECT_EQ(decodeCp932(QByteArray("\x1A\x1C\x7F" "A")), text);
}

TEST(Cp932, decodesAndSurvivesInvalidBytes)
{
    EXPECT_EQ(decodeCp932(QByteArray("\x8E\x9F\x82\xD6")), QStringLiteral("次へ"));
    const QString broken = decodeCp932(QByteArray("a\x82"));
    EXPECT_TRUE(broken.startsWith(u'a'));
    EXPECT_TRUE(broken.contains(QChar(0xFFFD)));
    EXPECT_EQ(decodeCp932(QByteArray()), QString());
}

TEST(Cp932, roundTripsLongMixedText)
{
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QStringLiteral("テキスト text ｶﾀｶﾅ 漢字\t");
    EXPECT_EQ(decodeCp932(encodeCp932(text)), text);
}

TEST(Cp932, defaultIgnorableCharactersAreNeverDropped)
{
    // A family emoji is three emoji joined by zero-width joiners; a dropped
    // joiner would split it apart.
    const QString family = QStringLiteral("👨\u200D👩");
    EXPECT_EQ(encodeCp932(family), QByteArray("&#128104;&#8205;&#128105;"));
    EXPECT_FALSE(isCp932Encodable(QStringLiteral("\u200D")));
    EXPECT_EQ(encodeCp932(QStringLiteral("a\uFE0F")), QByteArray("a&#65039;"));
}

// Every character that counts as encodable reads back as itself; the table's
// one-way codes (U+F86F is written as 0x8782, which reads back as U+2116) are
// written as references instead, like any character CP932 does not hold.
TEST(Cp932, encodableCharactersReadBackAsThemselves)
{
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const QString text = QString::fromUcs4(&c, 1);
        const QByteArray bytes = encodeCp932(text);
        if (isCp932Encodable(text))
            ASSERT_EQ(decodeCp932(bytes), text) << std::hex << unsigned(c);
        else
            ASSERT_EQ(bytes, "&#" + QByteArray::number(unsigned(c)) + ';') << std::hex << unsigned(c);
    }
    EXPECT_FALSE(isCp932Encodable(QStringLiteral(u"\uF86F")));
    EXPECT_EQ(encodeCp932(QStringLiteral(u"№\uF86F")), QByteArray("\x87\x82&#63599;"));
}
