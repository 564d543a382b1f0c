// Settings files nobody should have to meet, through the two roads that
// read them: the create command (reads all five options at its start) and
// the options dialog (shows them and writes them back on closing). Neither
// fails on the file; the dialog's save keeps what the file held beside the
// five options, and a file too large to be a settings file is left alone.

#include "reliability_support.h"
#include "support/record_editor.h"
#include "support/ui_test_support.h"

#include "support/test_windows.h"
#include "ui/options/options_dialog.h"
#include "core/settings/settings_file.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <random>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

QByteArray utf16le(const QString &text)
{
    return QByteArray("\xFF\xFE")
        + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QByteArray randomBytes(int size, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = char(byte(random));
    return bytes;
}

// 10 MB of someone else's sections, then the options.
QByteArray tenMegabytes(const QByteArray &options)
{
    QByteArray big = "[Other]\r\n";
    for (int i = 0; i < 10 * 1024; ++i)
        big += "k" + QByteArray::number(i) + "=" + QByteArray(1000, 'v') + "\r\n";
    return big + options;
}

class SettingsRoads : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        editor.set() = sampleSet(QStringLiteral("abc"));
    }

    void create() { createSet(test::commandContext(editor, state, paths, desktop)); }
    QByteArray page(const char *name) const
    {
        return readAll(paths.outputFolder + QString::fromUtf8(name));
    }

    // Opens the options dialog, lets act look at it and change it, closes it.
    void options(const std::function<void(QWidget *)> &act)
    {
        OptionsDialog dialog(paths.settingsFile, desktop, &mainWindow);
        QTimer::singleShot(0, [&] {
            ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
            act(&dialog);
            dialog.close();
        });
        dialog.exec();
    }
    static bool checked(QWidget *dialog, const char *name)
    {
        return dialog->findChild<QAbstractButton *>(QString::fromLatin1(name))->isChecked();
    }
    static QLineEdit *field(QWidget *dialog, const char *name)
    {
        return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
    }

    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;
    QWidget mainWindow;
};

const QByteArray kDefaultOptions = "[OptionSettei]\r\n"
                                   "DousaSettei=1\r\n"
                                   "KensakuSettei=0\r\n"
                                   "HomeName=リンクページ名\r\n"
                                   "HomeURL=リンクページURL\r\n"
                                   "KakucyosiSettei=0\r\n"
                                   "MojiCodeSettei=0\r\n"
                                   "KeishikiSettei=0\r\n";

} // namespace

TEST_F(SettingsRoads, randomBytes_createUsesTheDefaults_dialogAddsItsSection)
{
    const QByteArray junk = randomBytes(4096, 20240607);
    ASSERT_FALSE(junk.contains("OptionSettei"));
    writeFile(paths.settingsFile, junk);

    create();
    EXPECT_EQ(desktop.calls.size(), 3);
    EXPECT_EQ(desktop.calls.value(2), (Call{Call::Open, paths.outputFolder + QStringLiteral("abc_data.htm")}));
    EXPECT_FALSE(page("abc_1.htm").contains("ROBOTS"));
    EXPECT_TRUE(sameBytes(junk, readAll(paths.settingsFile))) << "creating never writes the settings";

    desktop.calls.clear();
    options([](QWidget *dialog) {
        EXPECT_TRUE(checked(dialog, "ChkBrowser"));
        EXPECT_TRUE(checked(dialog, "OptSettei_0"));
        EXPECT_TRUE(checked(dialog, "OptKcyosi_0"));
        EXPECT_EQ(field(dialog, "Text_HomeName")->text(), QStringLiteral("リンクページ名"));
    });
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_TRUE(readAll(paths.settingsFile).endsWith("\r\n" + kDefaultOptions));
    EXPECT_EQ(readStoredSettings(paths.settingsFile), StoredSettings{});
}

TEST_F(SettingsRoads, tenMegabyteFile_optionsAtItsEndAreUsedAndTheRestKept)
{
    const QByteArray file = tenMegabytes("[OptionSettei]\r\nKakucyosiSettei=1\r\nKensakuSettei=1\r\nDousaSettei=0\r\n");
    writeFile(paths.settingsFile, file);

    create();
    EXPECT_EQ(entryNames(paths.outputFolder),
              (QStringList{"abc_1.html", "abc_2.html", "abc_3.html", "abc_data.html"}));
    EXPECT_TRUE(page("abc_1.html").contains("\r\n<META NAME=\"ROBOTS\" CONTENT=\"NOINDEX, NOFOLLOW\">\r\n"));
    EXPECT_EQ(desktop.calls.size(), 2) << "DousaSettei 0: the data page is not opened";

    options([](QWidget *dialog) {
        EXPECT_FALSE(checked(dialog, "ChkBrowser"));
        EXPECT_TRUE(checked(dialog, "OptSettei_1"));
        EXPECT_TRUE(checked(dialog, "OptKcyosi_1"));
    });
    EXPECT_TRUE(sameBytes(file + "HomeName=リンクページ名\r\nHomeURL=リンクページURL\r\nMojiCodeSettei=0\r\nKeishikiSettei=0\r\n",
                          readAll(paths.settingsFile)));
}

TEST_F(SettingsRoads, megabyteLine_valueCutTo255Bytes)
{
    writeFile(paths.settingsFile, "[OptionSettei]\r\nKensakuSettei=2\r\nHomeName=" + QByteArray(1 << 20, 'h')
                                      + "\r\nHomeURL=http://example.com/\r\n");

    create();
    EXPECT_TRUE(page("abc_3.htm").contains("\r\n<span id=\"param2\"><A HREF=\"http://example.com/\">"
                                           + QByteArray(255, 'h') + "</A></span>\r\n"));

    options([](QWidget *dialog) {
        EXPECT_EQ(field(dialog, "Text_HomeName")->text(), QString(255, u'h'));
    });
    EXPECT_TRUE(sameBytes("[OptionSettei]\r\nKensakuSettei=2\r\nHomeName=" + QByteArray(255, 'h')
                              + "\r\nHomeURL=http://example.com/\r\nDousaSettei=1\r\nKakucyosiSettei=0\r\n"
                                "MojiCodeSettei=0\r\nKeishikiSettei=0\r\n",
                          readAll(paths.settingsFile)));
}

TEST_F(SettingsRoads, numbersOutsideTheirChoices_ruleOfEachKey)
{
    writeFile(paths.settingsFile, "[OptionSettei]\r\nDousaSettei=2\r\nKensakuSettei=7\r\nKakucyosiSettei=-1\r\n");

    create();
    // -1 leaves the extension as the last creation set it: none yet.
    EXPECT_EQ(entryNames(paths.outputFolder), (QStringList{"abc_1", "abc_2", "abc_3", "abc_data"}));
    EXPECT_FALSE(page("abc_1").contains("ROBOTS"));
    EXPECT_EQ(desktop.calls.size(), 2) << "only DousaSettei 1 opens the data page";

    options([](QWidget *dialog) {
        EXPECT_FALSE(checked(dialog, "ChkBrowser"));
        EXPECT_TRUE(checked(dialog, "OptSettei_0"));
        EXPECT_TRUE(checked(dialog, "OptKcyosi_0"));
    });
    EXPECT_TRUE(sameBytes("[OptionSettei]\r\nDousaSettei=0\r\nKensakuSettei=0\r\nKakucyosiSettei=0\r\n"
                          "HomeName=リンクページ名\r\nHomeURL=リンクページURL\r\nMojiCodeSettei=0\r\nKeishikiSettei=0\r\n",
                          readAll(paths.settingsFile)));
}

TEST_F(SettingsRoads, numberTooLargeForTheProgram_createRefusesWithTheKeyAndKeepsTheEditor)
{
    const QByteArray file = "[OptionSettei]\r\nKakucyosiSettei=99999999999999999999\r\n";
    writeFile(paths.settingsFile, file);

    create();
    EXPECT_EQ(desktop.calls,
              (QList<Call>{{Call::Warning,
                            QStringLiteral("設定ファイルの KakucyosiSettei の値「99999999999999999999」は数値ではありません。\n")
                                + paths.settingsFile
                                + QStringLiteral("\nオプション設定を開いて閉じると、正しい値に書き直されます。")}}));
    EXPECT_TRUE(entryNames(paths.outputFolder).isEmpty());
    EXPECT_EQ(editor.pageSet(), sampleSet(QStringLiteral("abc")));
    EXPECT_TRUE(sameBytes(file, readAll(paths.settingsFile)));

    // As the message says: the dialog writes a number the next creation takes.
    options([](QWidget *) {});
    desktop.calls.clear();
    create();
    EXPECT_EQ(desktop.calls.size(), 3);
    EXPECT_EQ(entryNames(paths.outputFolder).size(), 4);
}

TEST_F(SettingsRoads, utf16File_readAndRewrittenAsUtf8LosingNothing)
{
    const QString text = QStringLiteral("; 手で書いた\r\n[OptionSettei]\r\nKakucyosiSettei=1\r\nKensakuSettei=2\r\n"
                                        "HomeName=ホーム\r\nHomeURL=http://例.jp/\r\n[Other]\r\nk=値\r\n");
    writeFile(paths.settingsFile, utf16le(text));

    create();
    EXPECT_TRUE(page("abc_1.html").contains("\r\n<META NAME=\"ROBOTS\" CONTENT=\"INDEX, FOLLOW\">\r\n"));
    EXPECT_TRUE(page("abc_1.html").contains(sjis("\r\n<span id=\"param2\"><A HREF=\"http://例.jp/\">ホーム</A></span>\r\n")));

    options([](QWidget *dialog) {
        EXPECT_TRUE(checked(dialog, "OptSettei_2"));
        EXPECT_EQ(field(dialog, "Text_HomeName")->text(), QStringLiteral("ホーム"));
    });
    EXPECT_TRUE(sameBytes("; 手で書いた\r\n[OptionSettei]\r\nKakucyosiSettei=1\r\nKensakuSettei=2\r\n"
                          "HomeName=ホーム\r\nHomeURL=http://例.jp/\r\nDousaSettei=1\r\nMojiCodeSettei=0\r\nKeishikiSettei=0\r\n"
                          "[Other]\r\nk=値\r\n",
                          readAll(paths.settingsFile)));
}

TEST_F(SettingsRoads, fileTooLargeToBeSettings_readAsMissingAndNeverReplaced)
{
    QByteArray huge = "[OptionSettei]\r\nKakucyosiSettei=1\r\n";
    huge += QByteArray(kMaxSettingsFileBytes, ';');
    writeFile(paths.settingsFile, huge);

    create();
    EXPECT_EQ(entryNames(paths.outputFolder).value(0), QStringLiteral("abc_1.htm")) << "the defaults";

    desktop.calls.clear();
    options([](QWidget *dialog) { field(dialog, "Text_HomeName")->setText(QStringLiteral("x")); });
    EXPECT_EQ(desktop.calls,
              (QList<Call>{{Call::Warning, QStringLiteral("オプション設定を保存できませんでした。\n")
                                               + paths.settingsFile
                                               + QStringLiteral("\n理由: 設定ファイルとしては大きすぎます")}}));
    EXPECT_EQ(readAll(paths.settingsFile).size(), huge.size());
}
