#include "core/settings/settings_file.h"

#include "support/settings_test_support.h"
#include "support/file_compare.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

// ---- reading -------------------------------------------------------------

struct ReadCase {
    const char *name;
    QByteArray file;
    QString key;
    QString expected;
};

void PrintTo(const ReadCase &c, std::ostream *os) { *os << c.name; }

class ReadRule : public SettingsFile, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadRule, givesTheValueTheProfileRulesGive)
{
    writeFile(path, GetParam().file);
    EXPECT_EQ(read(GetParam().key), GetParam().expected);
}


INSTANTIATE_TEST_SUITE_P(
    SettingsFile, ReadRule,
    testing::Values(
        ReadCase{"blanksAroundValueTrimmed", "[OptionSettei]\r\nKensakuSettei= 2 \r\n",
                 QStringLiteral("KensakuSettei"), QStringLiteral("2")},
        ReadCase{"tabsAroundKeyAndValue", "[OptionSettei]\r\n\tHomeName\t=\tx y\t\r\n", kName,
                 QStringLiteral("x y")},
        ReadCase{"verticalTabsAroundValueTrimmed", "[OptionSettei]\r\nKensakuSettei=\v 2\t\v\r\n",
                 QStringLiteral("KensakuSettei"), QStringLiteral("2")},
        ReadCase{"verticalTabInsideKept", "[OptionSettei]\r\nHomeName=a\vb\r\n", kName,
                 QStringLiteral("a\vb")},
        ReadCase{"emptyValueGivesDefault", "[OptionSettei]\r\nHomeName=\r\n", kName, kDefault},
        ReadCase{"blankValueGivesDefault", "[OptionSettei]\r\nHomeName= \t \r\n", kName, kDefault},
        ReadCase{"doubleQuotesRemoved", "[OptionSettei]\r\nHomeName=\" a \"\r\n", kName,
                 QStringLiteral("a")},
        ReadCase{"singleQuotesRemoved", "[OptionSettei]\r\nHomeName='a b'\r\n", kName,
                 QStringLiteral("a b")},
        ReadCase{"onlyOnePairRemoved", "[OptionSettei]\r\nHomeName=\"'a'\"\r\n", kName,
                 QStringLiteral("'a'")},
        ReadCase{"unequalQuotesKept", "[OptionSettei]\r\nHomeName=\"a'\r\n", kName,
                 QStringLiteral("\"a'")},
        ReadCase{"loneQuoteKept", "[OptionSettei]\r\nHomeName=\"\r\n", kName, QStringLiteral("\"")},
        ReadCase{"emptyQuotesGiveDefault", "[OptionSettei]\r\nHomeName=\"\"\r\n", kName, kDefault},
        ReadCase{"namesIgnoreCase", "[OPTIONsettei]\r\nhomename=x\r\n", kName, QStringLiteral("x")},
        ReadCase{"blanksAroundSectionName", "  [ OptionSettei ]  \r\nHomeName=x\r\n", kName,
                 QStringLiteral("x")},
        ReadCase{"commentLineSkipped", "[OptionSettei]\r\n ;HomeName=x\r\n", kName, kDefault},
        ReadCase{"semicolonInsideIsText", "[OptionSettei]\r\nHomeName=a;b\r\n", kName,
                 QStringLiteral("a;b")},
        ReadCase{"equalsInsideValue", "[OptionSettei]\r\nHomeURL=http://a/?b=c\r\n",
                 QStringLiteral("HomeURL"), QStringLiteral("http://a/?b=c")},
        ReadCase{"keyBeforeFirstSectionIgnored", "HomeName=x\r\n[OptionSettei]\r\n", kName,
                 kDefault},
        ReadCase{"keyInOtherSectionIgnored", "[OptionSettei]\r\n[Other]\r\nHomeName=x\r\n", kName,
                 kDefault},
        ReadCase{"lineWithoutEqualsIsNoKey", "[OptionSettei]\r\nHomeName\r\nHomeName2=y\r\n",
                 kName, kDefault},
        ReadCase{"firstOfTwoKeysWins", "[OptionSettei]\r\nHomeName=a\r\nHOMENAME=b\r\n", kName,
                 QStringLiteral("a")},
        ReadCase{"onlyFirstSectionSearched",
                 "[OptionSettei]\r\nDousaSettei=1\r\n[X]\r\n[optionsettei]\r\nHomeName=b\r\n",
                 kName, kDefault},
        ReadCase{"keyWithInnerBlankIsAnotherKey", "[OptionSettei]\r\nHome Name=x\r\n", kName,
                 kDefault},
        ReadCase{"lfAndCrLineEnds", "[OptionSettei]\nDousaSettei=0\rHomeName=x\r", kName,
                 QStringLiteral("x")},
        ReadCase{"lastLineWithoutLineEnd", "[OptionSettei]\r\nHomeName=x", kName,
                 QStringLiteral("x")},
        ReadCase{"utf8WithBom", "\xEF\xBB\xBF[OptionSettei]\r\nHomeName=\xE3\x81\x82\r\n", kName,
                 QStringLiteral("あ")},
        ReadCase{"cp932", "[OptionSettei]\r\nHomeName=\x82\xA0\x95\x5C\r\n", kName,
                 QStringLiteral("あ表")},
        ReadCase{"utf16LittleEndian",
                 utf16(QStringLiteral("[OptionSettei]\r\nHomeName=あ"), false), kName,
                 QStringLiteral("あ")},
        ReadCase{"utf16BigEndian", utf16(QStringLiteral("[OptionSettei]\nHomeName=あ\r\n"), true),
                 kName, QStringLiteral("あ")}),
    [](const testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

TEST_F(SettingsFile, missingFileGivesEveryDefault)
{
    EXPECT_EQ(read(kName), kDefault);
    EXPECT_EQ(readStoredSettings(path), StoredSettings{});
    EXPECT_FALSE(QFileInfo::exists(path)) << "reading never creates the file";
}

TEST_F(SettingsFile, unreadableFilesGiveDefaults)
{
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_EQ(readStoredSettings(path), StoredSettings{});
    ASSERT_TRUE(QDir().rmdir(path));
    // A FIFO is never opened for a blocking read.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_EQ(read(kName), kDefault);
}

struct CutCase {
    const char *name;
    QString value;
    QString expected;
};

void PrintTo(const CutCase &c, std::ostream *os) { *os << c.name; }

class LongValue : public SettingsFile, public testing::WithParamInterface<CutCase> {};

TEST_P(LongValue, isCutTo255BytesOfWholeCharacters)
{
    writeFile(path, "[OptionSettei]\r\nHomeName=" + GetParam().value.toUtf8() + "\r\n");
    const QString got = read(kName);
    EXPECT_EQ(got, GetParam().expected);
    EXPECT_LE(got.toUtf8().size(), 255);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, LongValue,
    testing::Values(
        CutCase{"ascii300", QString(300, u'a'), QString(255, u'a')},
        CutCase{"kana100", QString(100, u'あ'), QString(85, u'あ')},
        CutCase{"twoByteCharacterAcrossTheLimit", u'a' + QString(150, u'é'),
                u'a' + QString(127, u'é')},
        CutCase{"surrogatePairAcrossTheLimit", QString(253, u'a') + QStringLiteral("😀"),
                QString(253, u'a')},
        CutCase{"cutEndsInABlank", QString(254, u'a') + QStringLiteral(" bc"), QString(254, u'a')},
        CutCase{"exactly255", QString(252, u'a') + QStringLiteral("あ"),
                QString(252, u'a') + QStringLiteral("あ")}),
    [](const testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

// ---- hostile files ------------------------------------------------------

TEST_F(SettingsFile, hugeFileIsNeitherReadNorReplaced)
{
    QByteArray huge = "[OptionSettei]\r\nHomeName=x\r\n";
    huge += QByteArray(kMaxSettingsFileBytes - huge.size(), ';');
    writeFile(path, huge);
    EXPECT_EQ(read(kName), QStringLiteral("x")) << "the largest file read";
    huge += ';';
    writeFile(path, huge);
    EXPECT_EQ(read(kName), kDefault);
    EXPECT_TRUE(writeIniString(kSettingsSection, kName, QStringLiteral("y"), path));
    EXPECT_EQ(QFileInfo(path).size(), huge.size());
}

TEST_F(SettingsFile, largeFilesAndLongLinesStillWork)
{
    // 10 MB of other lines, one of them 1 MB long, and the key behind them.
    QByteArray big = "[Other]\r\n";
    for (int i = 0; i < 9 * 1024; ++i)
        big += "k" + QByteArray::number(i) + "=" + QByteArray(1000, 'v') + "\r\n";
    big += "long=" + QByteArray(1 << 20, 'w') + "\r\n";
    big += "[OptionSettei]\r\nHomeName=" + QByteArray(1 << 20, 'h') + "\r\n";
    writeFile(path, big);
    EXPECT_EQ(read(kName), QString(255, u'h'));

    write(kKeyDousa, QStringLiteral("0"));
    const QByteArray after = readAll(path);
    EXPECT_EQ(after.size(), big.size() + qsizetype(sizeof "DousaSettei=0\r\n") - 1);
    EXPECT_TRUE(after.startsWith(big));
    EXPECT_EQ(read(kKeyDousa), QStringLiteral("0"));
}

TEST_F(SettingsFile, randomBytesNeverLoseAWrittenKey)
{
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 50; ++round) {
        QByteArray junk(4096, '\0');
        for (char &c : junk)
            c = char(byte(random));
        writeFile(path, junk);
        (void)readStoredSettings(path);
        write(kName, QStringLiteral("名前"));
        write(kKeyHomeURL, QStringLiteral("u"));
        EXPECT_EQ(read(kName), QStringLiteral("名前")) << "round " << round;
        EXPECT_EQ(read(kKeyHomeURL), QStringLiteral("u")) << "round " << round;
    }
}

} // namespace
