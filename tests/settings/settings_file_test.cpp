#include "settings/settings_file.h"

#include "support/file_compare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

using namespace zelmora;
using zelmora::test::readAll;
using zelmora::test::sameBytes;
using zelmora::test::sjis;

namespace {

const QString kDefault = QStringLiteral("DEF");

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray utf8(const char *text) { return QByteArray(text); }

// A UTF-16 file with its byte-order mark.
QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        out.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return out;
}

class SettingsFile : public testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));

    QString read(const QString &key) { return GetIniStr(kSettingsSection, key, kDefault, path); }
    void write(const QString &key, const QString &value)
    {
        ASSERT_EQ(WriteIniStr(kSettingsSection, key, value, path), std::nullopt);
    }
    // Writes one key into a file of the given bytes and compares the result.
    void expectRewrite(const QByteArray &before, const QString &key, const QString &value,
                       const QByteArray &after)
    {
        writeBytes(path, before);
        write(key, value);
        EXPECT_TRUE(sameBytes(after, readAll(path)));
    }
};

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
    writeBytes(path, GetParam().file);
    EXPECT_EQ(read(GetParam().key), GetParam().expected);
}

const QString kName = QStringLiteral("HomeName");

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, ReadRule,
    testing::Values(
        ReadCase{"blanksAroundValueTrimmed", "[OptionSettei]\r\nKensakuSettei= 2 \r\n",
                 QStringLiteral("KensakuSettei"), QStringLiteral("2")},
        ReadCase{"tabsAroundKeyAndValue", "[OptionSettei]\r\n\tHomeName\t=\tx y\t\r\n", kName,
                 QStringLiteral("x y")},
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
    writeBytes(path, "[OptionSettei]\r\nHomeName=" + GetParam().value.toUtf8() + "\r\n");
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

// ---- writing -------------------------------------------------------------

TEST_F(SettingsFile, firstSaveWritesTheFiveKeysInTableOrderAsUtf8CrLf)
{
    ASSERT_EQ(writeStoredSettings(StoredSettings{}, path), std::nullopt);
    EXPECT_TRUE(sameBytes(utf8("[OptionSettei]\r\n"
                               "DousaSettei=1\r\n"
                               "KensakuSettei=0\r\n"
                               "HomeName=\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xAF\xE3\x83\x9A\xE3\x83"
                               "\xBC\xE3\x82\xB8\xE5\x90\x8D\r\n"
                               "HomeURL=\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xAF\xE3\x83\x9A\xE3\x83"
                               "\xBC\xE3\x82\xB8URL\r\n"
                               "KakucyosiSettei=0\r\n"),
                          readAll(path)));
    EXPECT_EQ(readStoredSettings(path), StoredSettings{});
}

TEST_F(SettingsFile, savingAllKeysEqualsWritingThemOneByOne)
{
    const QByteArray start = "; mine\r\n[optionsettei]\r\nhomeurl=u\r\n[Z]\r\nk=v";
    StoredSettings s;
    s.KensakuSettei = QStringLiteral("2");
    s.HomeName = QString();
    s.KakucyosiSettei = QStringLiteral("1");

    writeBytes(path, start);
    ASSERT_EQ(writeStoredSettings(s, path), std::nullopt);
    const QByteArray together = readAll(path);

    writeBytes(path, start);
    write(kKeyDousa, s.DousaSettei);
    write(kKeyKensaku, s.KensakuSettei);
    write(kKeyHomeName, s.HomeName);
    write(kKeyHomeURL, s.HomeURL);
    write(kKeyKakucyosi, s.KakucyosiSettei);
    EXPECT_TRUE(sameBytes(readAll(path), together));

    StoredSettings expected = s;
    expected.HomeName = StoredSettings{}.HomeName;
    EXPECT_EQ(readStoredSettings(path), expected);
}

struct RewriteCase {
    const char *name;
    QByteArray before;
    QString key;
    QString value;
    QByteArray after;
};

void PrintTo(const RewriteCase &c, std::ostream *os) { *os << c.name; }

class Rewrite : public SettingsFile, public testing::WithParamInterface<RewriteCase> {};

TEST_P(Rewrite, changesOnlyTheLinesConcerned)
{
    expectRewrite(GetParam().before, GetParam().key, GetParam().value, GetParam().after);
}

const QByteArray kMixed = "; kept\r\n"
                          "[OptionSettei]\r\n"
                          "dousasettei = 1 \r\n"
                          "HomeName=a\r\n"
                          "; trailing comment\r\n"
                          "\r\n"
                          "[Other]\r\n"
                          "HomeURL=other\r\n";

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, Rewrite,
    testing::Values(
        RewriteCase{"existingKeyKeepsItsSpellingAndPlace", kMixed, QStringLiteral("DousaSettei"),
                    QStringLiteral("0"),
                    "; kept\r\n[OptionSettei]\r\ndousasettei =0\r\nHomeName=a\r\n"
                    "; trailing comment\r\n\r\n[Other]\r\nHomeURL=other\r\n"},
        RewriteCase{"sameValueLeavesTheFileAlone", kMixed, QStringLiteral("DousaSettei"),
                    QStringLiteral("1"), kMixed},
        RewriteCase{"newKeyFollowsTheLastKeyOfItsSection", kMixed, QStringLiteral("HomeURL"),
                    QStringLiteral("u"),
                    "; kept\r\n[OptionSettei]\r\ndousasettei = 1 \r\nHomeName=a\r\nHomeURL=u\r\n"
                    "; trailing comment\r\n\r\n[Other]\r\nHomeURL=other\r\n"},
        RewriteCase{"newKeyInSectionWithoutKeysFollowsTheHeader",
                    "[OptionSettei]\r\n; none yet\r\n", kName, QStringLiteral("n"),
                    "[OptionSettei]\r\nHomeName=n\r\n; none yet\r\n"},
        RewriteCase{"missingSectionAppendedWithoutBlankLine", "[Other]\r\nx=1\r\n", kName,
                    QStringLiteral("n"), "[Other]\r\nx=1\r\n[OptionSettei]\r\nHomeName=n\r\n"},
        RewriteCase{"lastLineGetsItsLineEndFirst", "[Other]\r\nx=1", kName, QStringLiteral("n"),
                    "[Other]\r\nx=1\r\n[OptionSettei]\r\nHomeName=n\r\n"},
        RewriteCase{"lastKeyWithoutLineEnd", "[OptionSettei]\r\nx=1", kName, QStringLiteral("n"),
                    "[OptionSettei]\r\nx=1\r\nHomeName=n\r\n"},
        RewriteCase{"otherLineEndsKept", "[OptionSettei]\nx=1\n\n[B]\rk=v\r", kName,
                    QStringLiteral("n"), "[OptionSettei]\nx=1\nHomeName=n\r\n\n[B]\rk=v\r"},
        RewriteCase{"emptyValueRemovesTheLineKeepsTheHeader", "[OptionSettei]\r\nHomeName=a\r\n",
                    kName, QString(), "[OptionSettei]\r\n"},
        RewriteCase{"removalTakesEveryCopyOfTheKey",
                    "[OptionSettei]\r\nHomeName=a\r\nx=1\r\nhomename=b\r\n[B]\r\nHomeName=c\r\n",
                    kName, QString(), "[OptionSettei]\r\nx=1\r\n[B]\r\nHomeName=c\r\n"},
        RewriteCase{"removingAMissingKeyChangesNothing", "[OptionSettei]\nx=1", kName, QString(),
                    "[OptionSettei]\nx=1"},
        RewriteCase{"secondSectionOfTheNameUntouched",
                    "[OptionSettei]\r\n[B]\r\n[OptionSettei]\r\nHomeName=b\r\n", kName,
                    QStringLiteral("n"),
                    "[OptionSettei]\r\nHomeName=n\r\n[B]\r\n[OptionSettei]\r\nHomeName=b\r\n"},
        RewriteCase{"quotedValueKeepsItsQuotes", "", kName, QStringLiteral("'Top'"),
                    "[OptionSettei]\r\nHomeName=\"'Top'\"\r\n"},
        RewriteCase{"lineBreaksInAValueBecomeSpaces", "", kName,
                    QStringLiteral("a\r\nDousaSettei=0\n[X]"),
                    "[OptionSettei]\r\nHomeName=a  DousaSettei=0 [X]\r\n"},
        RewriteCase{"utf8BomDropped", "\xEF\xBB\xBF[OptionSettei]\r\n", kName, QStringLiteral("n"),
                    "[OptionSettei]\r\nHomeName=n\r\n"},
        RewriteCase{"utf16RewrittenAsUtf8CrLf",
                    utf16(QStringLiteral("[B]\nk=あ\r"), false), kName,
                    QStringLiteral("n"),
                    "[B]\r\nk=\xE3\x81\x82\r\n[OptionSettei]\r\nHomeName=n\r\n"},
        // Left at the start of the UTF-8 text, a second mark would be read
        // as the byte-order mark next time and the first line change meaning.
        RewriteCase{"repeatedUtf16MarkDropped",
                    utf16(QStringLiteral("\uFEFF[OptionSettei]\nHomeName=x"), false),
                    QStringLiteral("HomeURL"), QStringLiteral("u"),
                    "[OptionSettei]\r\nHomeName=x\r\nHomeURL=u\r\n"}),
    [](const testing::TestParamInfo<RewriteCase> &info) { return std::string(info.param.name); });

TEST_F(SettingsFile, removingFromAMissingFileCreatesNothing)
{
    write(kName, QString());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(SettingsFile, writtenValuesReadBackAsWritten)
{
    for (const QString &value : {QStringLiteral("\"Top\""), QStringLiteral("'"),
                                 QStringLiteral("a;b=c"), QStringLiteral("ホーム [1]")}) {
        write(kName, value);
        EXPECT_EQ(read(kName), value);
    }
}

// A file as Windows' profile functions and a Japanese editor leave it:
// CP932, upper-case keys, quotes, comments and a section of someone else's.
TEST_F(SettingsFile, windowsFileReadAndRewrittenLosingNothing)
{
    const QByteArray before = "; Zelmora\r\n"
                              "[OPTIONSETTEI]\r\n"
                              "DOUSASETTEI=0\r\n"
                              "KensakuSettei = \"2\"\r\n"
                              "HOMENAME=" + sjis("ホームページ") + "\r\n"
                              "HomeURL=http://example.jp/\r\n"
                              "\r\n"
                              "[Tools]\r\n"
                              "Editor=" + sjis("秀丸") + " ; kept\r\n";
    writeBytes(path, before);

    StoredSettings s = readStoredSettings(path);
    StoredSettings expected;
    expected.DousaSettei = QStringLiteral("0");
    expected.KensakuSettei = QStringLiteral("2");
    expected.HomeName = QStringLiteral("ホームページ");
    expected.HomeURL = QStringLiteral("http://example.jp/");
    EXPECT_EQ(s, expected);

    s.DousaSettei = QStringLiteral("1");
    s.HomeName = QStringLiteral("新しい名前");
    s.KakucyosiSettei = QStringLiteral("1");
    ASSERT_EQ(writeStoredSettings(s, path), std::nullopt);

    EXPECT_TRUE(sameBytes(utf8("; Zelmora\r\n"
                               "[OPTIONSETTEI]\r\n"
                               "DOUSASETTEI=1\r\n"
                               "KensakuSettei = \"2\"\r\n"
                               "HOMENAME=\xE6\x96\xB0\xE3\x81\x97\xE3\x81\x84\xE5\x90\x8D\xE5\x89\x8D\r\n"
                               "HomeURL=http://example.jp/\r\n"
                               "KakucyosiSettei=1\r\n"
                               "\r\n"
                               "[Tools]\r\n"
                               "Editor=\xE7\xA7\x80\xE4\xB8\xB8 ; kept\r\n"),
                          readAll(path)));
    EXPECT_EQ(readStoredSettings(path), s);
}

// ---- failures and hostile files -----------------------------------------

TEST_F(SettingsFile, failedWritesReportTheFileAndKeepTheOldOne)
{
    const QString inMissingFolder = dir.filePath(QStringLiteral("gone/Zelmora.ini"));
    std::optional<FileError> error = writeStoredSettings(StoredSettings{}, inMissingFolder);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, inMissingFolder);
    EXPECT_FALSE(error->reason.isEmpty());

    ASSERT_TRUE(QDir().mkdir(path));
    error = WriteIniStr(kSettingsSection, kName, QStringLiteral("x"), path);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->reason.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isDir());
    ASSERT_TRUE(QDir().rmdir(path));

    // Read-only is honoured even for root, who could replace the file.
    const QByteArray old = "[OptionSettei]\r\nHomeName=old\r\n";
    writeBytes(path, old);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_TRUE(WriteIniStr(kSettingsSection, kName, QStringLiteral("new"), path));
    EXPECT_TRUE(sameBytes(old, readAll(path)));
    EXPECT_EQ(WriteIniStr(kSettingsSection, kName, QStringLiteral("old"), path), std::nullopt)
        << "nothing to change, nothing to refuse";
}

TEST_F(SettingsFile, hugeFileIsNeitherReadNorReplaced)
{
    QByteArray huge = "[OptionSettei]\r\nHomeName=x\r\n";
    huge += QByteArray(kMaxSettingsFileBytes, ';');
    writeBytes(path, huge);
    EXPECT_EQ(read(kName), kDefault);
    EXPECT_TRUE(WriteIniStr(kSettingsSection, kName, QStringLiteral("y"), path));
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
    writeBytes(path, big);
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
        writeBytes(path, junk);
        (void)readStoredSettings(path);
        write(kName, QStringLiteral("名前"));
        write(kKeyHomeURL, QStringLiteral("u"));
        EXPECT_EQ(read(kName), QStringLiteral("名前")) << "round " << round;
        EXPECT_EQ(read(kKeyHomeURL), QStringLiteral("u")) << "round " << round;
    }
}

} // namespace
