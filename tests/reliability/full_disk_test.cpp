// A full disk, through the writing roads: each road runs in a child process
// whose file-size limit is too small for what it writes (the tests run as
// root, whom permission bits do not stop). The user gets one message naming
// the file and the reason, the earlier good file stays as it was, no
// temporary file is left behind and the editor keeps its work.

#include "reliability_support.h"
#include "support/file_compare.h"
#include "support/user_folders.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora::test;

namespace {

struct ChildRun {
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QStringList lines;
};

// The helper under `prlimit --fsize=limit`, on the program folder.
ChildRun runLimited(const char *road, const QString &programFolder, int limit)
{
    QTemporaryDir user;
    QProcess child;
    child.setProcessEnvironment(userFoldersIn(user.path()));
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QStringLiteral(ZELMORA_PRLIMIT),
                {QStringLiteral("--fsize=%1").arg(limit), QStringLiteral("--"),
                 QStringLiteral(ZELMORA_WRITE_HELPER), QString::fromLatin1(road), programFolder});
    ChildRun run;
    if (!child.waitForFinished(60000)) {
        ADD_FAILURE() << "helper did not finish: " << child.errorString().toStdString();
        child.kill();
        child.waitForFinished();
        return run;
    }
    run.status = child.exitStatus();
    run.exitCode = child.exitCode();
    run.lines = QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    return run;
}

QString tooLarge(const QString &path)
{
    return QStringLiteral("warning: ファイルを書き込めませんでした。\\n") + path
        + QStringLiteral("\\n理由: File too large");
}

class FullDisk : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(m_out));
        ASSERT_TRUE(QDir().mkpath(m_temp));
    }

    // Nothing but a normal end: a process killed by SIGXFSZ would have lost
    // the user's work.
    static void expectNormalEnd(const ChildRun &run)
    {
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0);
    }

    QTemporaryDir m_dir;
    const QString m_program = m_dir.path();
    const QString m_out = m_program + QStringLiteral("/Popleaf/");
    const QString m_temp = m_program + QStringLiteral("/TEMP/");
    const QString m_settings = m_program + QStringLiteral("/Zelmora.ini");
};

} // namespace

TEST_F(FullDisk, createFirstPage_reportedAndTheEarlierPageKept)
{
    const QByteArray good = "<html>earlier set</html>\r\n";
    writeFile(m_out + QStringLiteral("abc_1.htm"), good);

    const ChildRun run = runLimited("create", m_program, 64);

    expectNormalEnd(run);
    EXPECT_EQ(run.lines, (QStringList{QStringLiteral("question: 「abc」はすでにあります。置き換えますか？"),
                                      tooLarge(m_out + QStringLiteral("abc_1.htm")), QStringLiteral("editor: kept")}));
    EXPECT_TRUE(sameBytes(good, readAll(m_out + QStringLiteral("abc_1.htm"))));
    EXPECT_EQ(entryNames(m_out), (QStringList{"abc_1.htm"})) << "no temporary file left";
}

TEST_F(FullDisk, createDataPage_pagesWrittenTheEarlierDataPageKept)
{
    // The popup pages fit under 2 KiB, the data page does not.
    const QByteArray good = "<html>earlier data page</html>\r\n";
    writeFile(m_out + QStringLiteral("abc_data.htm"), good);

    const ChildRun run = runLimited("create", m_program, 2048);

    expectNormalEnd(run);
    EXPECT_EQ(run.lines,
              (QStringList{QStringLiteral("information: ポップリーフ [ abc_1.htm ] ～ [ abc_2.htm ] を作成しました｡"),
                           tooLarge(m_out + QStringLiteral("abc_data.htm")),
                           QStringLiteral("editor: kept")}));
    EXPECT_TRUE(sameBytes(good, readAll(m_out + QStringLiteral("abc_data.htm"))));
    EXPECT_EQ(entryNames(m_out), (QStringList{"abc_1.htm", "abc_2.htm", "abc_data.htm"}));
    EXPECT_TRUE(readAll(m_out + QStringLiteral("abc_2.htm")).endsWith("</html>\r\n"))
        << "each page written is whole";
}

TEST_F(FullDisk, settingsSave_reportedAndTheOldFileKept)
{
    const QByteArray good = "; kept by hand\r\n[OptionSettei]\r\nDousaSettei=0\r\nHomeName=old\r\n";
    writeFile(m_settings, good);

    const ChildRun run = runLimited("options", m_program, int(good.size()));

    expectNormalEnd(run);
    EXPECT_EQ(run.lines, (QStringList{QStringLiteral("warning: オプション設定を保存できませんでした。\\n")
                                          + m_settings + QStringLiteral("\\n理由: File too large"),
                                      QStringLiteral("editor: kept")}));
    EXPECT_TRUE(sameBytes(good, readAll(m_settings)));
    EXPECT_EQ(entryNames(m_program), (QStringList{"Popleaf", "TEMP", "Zelmora.ini"}));
}

TEST_F(FullDisk, previewPages_reportedWithoutAWindowAndTheOldCopyKept)
{
    const QByteArray good = "<html>an earlier preview</html>\r\n";
    writeFile(m_temp + QStringLiteral("abc_1.htm"), good);

    const ChildRun run = runLimited("preview", m_program, 64);

    expectNormalEnd(run);
    EXPECT_EQ(run.lines, (QStringList{tooLarge(m_temp + QStringLiteral("abc_1.htm")),
                                      QStringLiteral("editor: kept")}));
    EXPECT_TRUE(sameBytes(good, readAll(m_temp + QStringLiteral("abc_1.htm"))));
    EXPECT_EQ(entryNames(m_temp), (QStringList{"abc_1.htm"}));
}

TEST_F(FullDisk, roomEnough_everyRoadWritesItsFiles)
{
    // The same roads with room to spare: the limit alone makes the failures.
    const ChildRun create = runLimited("create", m_program, 1 << 20);
    expectNormalEnd(create);
    EXPECT_EQ(create.lines.value(1), QStringLiteral("information: データページ[abc_data.htm] を作成しました｡"));
    EXPECT_EQ(create.lines.last(), QStringLiteral("editor: changed")) << "a creation clears the editor";
    EXPECT_EQ(entryNames(m_out), (QStringList{"abc_1.htm", "abc_2.htm", "abc_data.htm"}));

    const ChildRun options = runLimited("options", m_program, 1 << 20);
    expectNormalEnd(options);
    EXPECT_EQ(options.lines, (QStringList{QStringLiteral("editor: kept")}));
    EXPECT_TRUE(readAll(m_settings).contains("HomeName=新しいリンクページ名\r\n"));

    const ChildRun preview = runLimited("preview", m_program, 1 << 20);
    expectNormalEnd(preview);
    EXPECT_EQ(preview.lines, (QStringList{QStringLiteral("window: shown"), QStringLiteral("editor: kept")}));
    EXPECT_TRUE(entryNames(m_temp).isEmpty()) << "closing the preview deletes its pages";
}

// ---- a kill in the middle of a creation ------------------------------------

// Killed while the first message is open (the user ends the program, or the
// session ends): the set is whole on disk, its data page included.
TEST_F(FullDisk, killedWhileTheFirstMessageIsOpen_theWholeSetIsOnDisk)
{
    const ChildRun run = runLimited("create-killed-at-message", m_program, 1 << 20);

    EXPECT_EQ(run.status, QProcess::CrashExit) << "the helper was killed";
    EXPECT_EQ(entryNames(m_out), (QStringList{"abc_1.htm", "abc_2.htm", "abc_data.htm"}));
    const QByteArray data = readAll(m_out + QStringLiteral("abc_data.htm"));
    EXPECT_EQ(data.count("\r\n"), 52) << "50 lines and one row for each of the two pages";
    EXPECT_TRUE(data.contains("<td><span id=\"param3\">abc_2.htm</span></td>"));
    EXPECT_TRUE(data.endsWith("</body>\r\n</html>\r\n"));
    EXPECT_TRUE(readAll(m_out + QStringLiteral("abc_2.htm")).endsWith("</html>\r\n"));
}

// Killed in the middle of writing a page (here by its file-size limit, with
// SIGXFSZ left at its default): the earlier page is intact and no temporary
// file is left beside it.
TEST_F(FullDisk, killedWhileWritingAPage_leavesTheOldPageAndNoTemporaryFile)
{
    const QByteArray good = "<html>earlier set</html>\r\n";
    writeFile(m_out + QStringLiteral("abc_1.htm"), good);

    const ChildRun run = runLimited("create-killed-by-size-limit", m_program, 64);

    EXPECT_EQ(run.status, QProcess::CrashExit) << "the helper was killed";
    EXPECT_TRUE(sameBytes(good, readAll(m_out + QStringLiteral("abc_1.htm"))));
    EXPECT_EQ(entryNames(m_out), (QStringList{"abc_1.htm"})) << "no temporary file left";
}
