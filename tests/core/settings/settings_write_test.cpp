#include "core/settings/settings_file.h"

#include "support/settings_test_support.h"
#include "support/file_compare.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

QByteArray utf8(const char *text) { return QByteArray(text); }

TEST_F(SettingsFile, firstSaveWritesTheSevenKeysInTableOrderAsUtf8CrLf)
{
    ASSERT_EQ(writeStoredSettings(StoredSettings{}, path), std::nullopt);
    EXPECT_TRUE(sameBytes(utf8("[OptionSettei]\r\n"
                               "DousaSettei=1\r\n"
                               "KensakuSettei=0\r\n"
                               "HomeName=\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xAF\xE3\x83\x9A\xE3\x83"
                               "\xBC\xE3\x82\xB8\xE5\x90\x8D\r\n"
                               "HomeURL=\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xAF\xE3\x83\x9A\xE3\x83"
                               "\xBC\xE3\x82\xB8URL\r\n"
                               "KakucyosiSettei=0\r\n"
                               "MojiCodeSettei=0\r\n"
                               "KeishikiSettei=0\r\n"),
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
    s.MojiCodeSettei = QStringLiteral("1");
    s.KeishikiSettei = QStringLiteral("1");

    writeFile(path, start);
    ASSERT_EQ(writeStoredSettings(s, path), std::nullopt);
    const QByteArray together = readAll(path);

    writeFile(path, start);
    write(kKeyDousa, s.DousaSettei);
    write(kKeyKensaku, s.KensakuSettei);
    write(kName, s.HomeName);
    write(kKeyHomeURL, s.HomeURL);
    write(kKeyKakucyosi, s.KakucyosiSettei);
    write(kKeyMojiCode, s.MojiCodeSettei);
    write(kKeyKeishiki, s.KeishikiSettei);
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
    writeFile(path, GetParam().before);
    write(GetParam().key, GetParam().value);
    EXPECT_TRUE(sameBytes(GetParam().after, readAll(path)));
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
        // As Windows writes it: a rewritten line ends in CR LF, also as the
        // last line; left unchanged, the line keeps its missing end.
        RewriteCase{"rewrittenLastLineGetsCrLf", "[OptionSettei]\r\nKakucyosiSettei=1",
                    QStringLiteral("KakucyosiSettei"), QStringLiteral("0"),
                    "[OptionSettei]\r\nKakucyosiSettei=0\r\n"},
        RewriteCase{"unchangedLastLineKeepsNoLineEnd", "[OptionSettei]\r\nKakucyosiSettei=1",
                    QStringLiteral("KakucyosiSettei"), QStringLiteral("1"),
                    "[OptionSettei]\r\nKakucyosiSettei=1"},
        RewriteCase{"otherLineEndsKept", "[OptionSettei]\nx=1\n\n[B]\rk=v\r", kName,
                    QStringLiteral("n"), "[OptionSettei]\nx=1\nHomeName=n\r\n\n[B]\rk=v\r"},
        RewriteCase{"emptyValueRemovesTheLineKeepsTheHeader", "[OptionSettei]\r\nHomeName=a\r\n",
                    kName, QString(), "[OptionSettei]\r\n"},
        RewriteCase{"firstOfTwoCopiesRewritten", "[OptionSettei]\r\nHomeName=a\r\nHomeName=b\r\n", kName,
                    QStringLiteral("n"), "[OptionSettei]\r\nHomeName=n\r\nHomeName=b\r\n"},
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
    writeFile(path, before);

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
                               "HOMENAME=\xE6\x96\xB0\xE3\x81\x97\xE3\x81\x84"
                               "\xE5\x90\x8D\xE5\x89\x8D\r\n"
                               "HomeURL=http://example.jp/\r\n"
                               "KakucyosiSettei=1\r\n"
                               "MojiCodeSettei=0\r\n"
                               "KeishikiSettei=0\r\n"
                               "\r\n"
                               "[Tools]\r\n"
                               "Editor=\xE7\xA7\x80\xE4\xB8\xB8 ; kept\r\n"),
                          readAll(path)));
    EXPECT_EQ(readStoredSettings(path), s);
}

TEST_F(SettingsFile, failedWritesReportTheFileAndKeepTheOldOne)
{
    const QString inMissingFolder = dir.filePath(QStringLiteral("gone/Zelmora.ini"));
    std::optional<FileError> error = writeStoredSettings(StoredSettings{}, inMissingFolder);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, inMissingFolder);
    EXPECT_FALSE(error->reason.isEmpty());

    ASSERT_TRUE(QDir().mkdir(path));
    error = writeIniString(kSettingsSection, kName, QStringLiteral("x"), path);
    ASSERT_TRUE(error);
    EXPECT_FALSE(error->reason.isEmpty());
    EXPECT_TRUE(QFileInfo(path).isDir());
    ASSERT_TRUE(QDir().rmdir(path));

    // Read-only is honoured even for root, who could replace the file.
    const QByteArray old = "[OptionSettei]\r\nHomeName=old\r\n";
    writeFile(path, old);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
    EXPECT_TRUE(writeIniString(kSettingsSection, kName, QStringLiteral("new"), path));
    EXPECT_TRUE(sameBytes(old, readAll(path)));
    EXPECT_EQ(writeIniString(kSettingsSection, kName, QStringLiteral("old"), path), std::nullopt)
        << "nothing to change, nothing to refuse";
}

} // namespace
