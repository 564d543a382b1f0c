#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "core/files/draft_file.h"
#include "core/files/page_lines.h"
#include "core/files/picture_import.h"
#include "support/ui_test_support.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"
#include "support/user_folders.h"
#include "reliability/reliability_support.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include <memory>

using namespace zelmora;
using zelmora::test::readAll;
using zelmora::test::writeFile;
using zelmora::test::RecordingDesktop;

namespace {

// What draft_typist types, written out here.
PageSet typedSet(const QString &title = QStringLiteral("春の記録 it"))
{
    PageSet set;
    set.title = title;
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("一行目\r\n二行目");
    set.page(2).kind = PageKind::StandardPicture;
    set.page(2).standardFile = QStringLiteral("cat.png");
    set.page(2).standardAlt = QStringLiteral("cat.png猫");
    set.backgroundKind = BackgroundKind::Picture;
    set.backgroundAttribute = kPictureAttribute;
    set.backgroundValue = QStringLiteral("cat.png");
    return set;
}

// On the indicator: a click beside a short caption misses the button.
void clickOption(QWidget &window, const char *name)
{
    auto *option = window.findChild<QWidget *>(QLatin1StringView(name));
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

void answerDraftQuestion(const char *button)
{
    test::onNextModal([button](QWidget *box) {
        EXPECT_EQ(box->objectName(), QStringLiteral("DraftQuestion"));
        if (auto *b = box->findChild<QPushButton *>(QLatin1StringView(button)))
            b->click();
    });
}

// Starts draft_typist on the program folder with a user folder of its own.
void startTypist(QProcess &typist, const QString &program, const QString &outside,
                 const QStringList &more = {})
{
    typist.setProcessEnvironment(
        test::userFoldersIn(outside + QStringLiteral("/user") + more.value(0)));
    typist.start(QStringLiteral(DRAFT_TYPIST),
                 QStringList{program, outside + QStringLiteral("/cat.png")} + more);
}

// Everything the typist said up to and with word.
QByteArray waitFor(QProcess &typist, const char *word)
{
    QByteArray said;
    while (!said.contains(word) && typist.waitForReadyRead(30000))
        said += typist.readAllStandardOutput();
    return said;
}

} // namespace

// A draft the program writes is one it reads back, however large the set.
TEST(Draft, largestSetTheEditorHolds_itsDraftIsReadBack)
{
    QTemporaryDir program;
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(program.path()));
    // The largest set the editor can hold: texts and file names as long as a line the reader
    // hands on, line edits full, all of the character the draft writes longest (as \u0001).
    const QString line(kMaxLineBytes, QChar(1)), edit(32767, QChar(1));
    PageSet largest;
    largest.title = largest.backgroundValue = edit;
    largest.pages.fill(Page{PageKind::Text, line, line, edit, line, edit});
    window.showPageSet(largest);
    ASSERT_TRUE(window.pageSet() == largest) << "the editor holds it all";
    window.draft().saveAndWait();
    EXPECT_TRUE(takeDraft(window.draft().path()).set == largest);
    EXPECT_TRUE(desktop.calls.isEmpty());
}

class DraftOnSignal : public testing::TestWithParam<int> {};

TEST_P(DraftOnSignal, terminatedRightAfterAKeystroke_draftHoldsIt)
{
    QTemporaryDir program, outside;
    const QString picture = outside.filePath(QStringLiteral("cat.png"));
    ASSERT_TRUE(test::patternImage(40, 30).save(picture));
    QProcess typist;
    startTypist(typist, program.path(), outside.path(), {QString(), QStringLiteral("more")});
    ASSERT_TRUE(waitFor(typist, "TYPED").contains("TYPED"));
    ::kill(pid_t(typist.processId()), GetParam());
    ASSERT_TRUE(typist.waitForFinished(10000));
    EXPECT_EQ(typist.exitStatus(), QProcess::NormalExit);
    const auto draft = parseDraft(readAll(program.filePath(QStringLiteral("Zelmora.1.draft"))));
    ASSERT_TRUE(draft);
    EXPECT_EQ(draft->title, typedSet().title + u'!');
}

// A logout, a closed terminal, Ctrl+C and Ctrl+\ in the terminal.
INSTANTIATE_TEST_SUITE_P(Signals, DraftOnSignal, testing::Values(SIGTERM, SIGHUP, SIGINT, SIGQUIT),
                         [](const auto &info) { return std::string(sigabbrev_np(info.param)); });

TEST(Draft, savesFailing_warnedOnceForEachPeriodOfFailures)
{
    QTemporaryDir program;
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(program.path()));
    const QString path = window.draft().path();
    for (const bool fails : {true, true, false, true}) { // a folder in the draft's place, or none
        QFile::remove(path) || QDir().rmdir(path);
        ASSERT_TRUE(!fails || QDir().mkdir(path));
        window.setTitle(window.pageSet().title + u'x');
        window.draft().saveAndWait();
    }
    ASSERT_EQ(desktop.calls.size(), 2);
    EXPECT_TRUE(desktop.calls[0].text.startsWith(QStringLiteral("編集内容の下書きを保存できませんでした。")));
    EXPECT_EQ(desktop.calls[1].text, desktop.calls[0].text);
}

// Drafts left in every slot but the last, then in that one too.
TEST(Draft, lastSlotClaimed_thenNoneLeftSaysWhy)
{
    QTemporaryDir program;
    const QString settings = program.filePath(QStringLiteral("Zelmora.ini"));
    for (int n = 1; n < 999; ++n)
        writeFile(program.filePath(QStringLiteral("Zelmora.%1.draft").arg(n)), "{}");
    EXPECT_EQ(claimDraftSlot(settings).path, program.filePath(QStringLiteral("Zelmora.999.draft")));
    writeFile(program.filePath(QStringLiteral("Zelmora.999.draft")), "{}");
    const DraftSlot none = claimDraftSlot(settings);
    EXPECT_TRUE(none.path.isEmpty());
    EXPECT_TRUE(none.error);
}

// Typing never waits for the disk: every sync of the draft runs on the
// writer's thread, and the draft holds the latest state.
TEST(Draft, typing_everySyncOffTheWindowThread_latestStateWins)
{
    QTemporaryDir program;
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(program.path()));
    const test::SystemFaults recorder({});
    for (const QString &word : {QStringLiteral("春"), QStringLiteral("の"), QStringLiteral("記録")})
        test::typeText(window.findChild<QWidget *>(QStringLiteral("t_Text")), word), window.draft().saveNow();
    window.draft().saveAndWait();
    QList<bool> onWindowThread;
    for (const auto &[thread, path] : recorder.syncs())
        if (path.startsWith(QFile::encodeName(program.path())))
            onWindowThread << (thread == std::this_thread::get_id());
    EXPECT_FALSE(onWindowThread.isEmpty());
    EXPECT_FALSE(onWindowThread.contains(true));
    EXPECT_EQ(parseDraft(readAll(window.draft().path()))->title, QStringLiteral("春の記録"));
    struct stat lock {};
    EXPECT_TRUE(::stat(QFile::encodeName(program.filePath(QStringLiteral("Zelmora.1.lock"))), &lock) == 0 && (lock.st_mode & 0777) == 0600);
}

// A link, a FIFO, a folder or another user's file at the first lock file:
// the next slot is taken, and what was planted is neither followed nor changed.
TEST(Draft, oddFileAtTheFirstLock_nextSlotTakenAndTheFileLeftAlone)
{
    for (const char *odd : {"link", "fifo", "folder", "anotherUsersFile"}) {
        QTemporaryDir program;
        const QByteArray lock = QFile::encodeName(program.filePath(QStringLiteral("Zelmora.1.lock")));
        const int made = odd[0] == 'l' ? ::symlink("/etc/passwd", lock) : odd[1] == 'i' ? ::mkfifo(lock, 0600)
            : odd[1] == 'o' ? ::mkdir(lock, 0700) : (writeFile(QFile::decodeName(lock), "x"), ::chown(lock, 65534, 65534));
        const auto before = test::folderTree(program.path());
        RecordingDesktop desktop;
        MainWindow window(desktop, initPortablePaths(program.path()));
        window.setTitle(QStringLiteral("abc")), window.draft().saveAndWait();
        EXPECT_EQ(parseDraft(readAll(window.draft().path()))->title, u"abc") << odd;
        EXPECT_EQ(made == 0, window.draft().path().endsWith(u"Zelmora.2.draft")) << odd; // chown: root only
        EXPECT_EQ(test::folderTree(program.path())[QStringLiteral("Zelmora.1.lock")], before[QStringLiteral("Zelmora.1.lock")]);
        EXPECT_TRUE(desktop.calls.isEmpty()) << odd;
    }
}

// A draft left in a folder on a read-only mount is offered and restored,
// drafts being off there said once; one the disk fails to read is said so.
TEST(Draft, leftOnAReadOnlyOrFailingDisk_offeredOrSaidWhy_neverLost)
{
    for (const int error : {EROFS, EIO}) {
        QTemporaryDir program;
        const QString left = program.filePath(QStringLiteral("Zelmora.1.draft"));
        ASSERT_FALSE(saveDraft(left, typedSet()));
        auto disk = std::make_unique<test::SystemFaults>(QList<test::SystemFault>{
            {error == EIO ? test::SystemCall::Read : test::SystemCall::OpenForWriting, error, QFile::encodeName(program.path())}});
        RecordingDesktop desktop;
        MainWindow window(desktop, initPortablePaths(program.path()));
        if (error == EROFS)
            answerDraftQuestion("DraftRestore");
        window.draft().offerRestore();
        window.setTitle(window.pageSet().title + u'!'), window.draft().saveAndWait();
        EXPECT_EQ(window.pageSet().page(1).text, error == EROFS ? typedSet().page(1).text : QString());
        ASSERT_EQ(desktop.calls.size(), 1);
        EXPECT_TRUE(desktop.calls[0].text.contains(systemErrorText(error)));
        disk.reset();
        EXPECT_EQ(readAll(left), draftBytes(typedSet())) << "kept for the next start";
    }
}

TEST(Draft, discardedAtStart_editorEmptyAndAskedNoMore)
{
    QTemporaryDir program;
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(program.path()));
    // Left by a version that kept one draft for all copies.
    const QString left = program.filePath(QStringLiteral("Zelmora.draft"));
    ASSERT_FALSE(saveDraft(left, typedSet()));
    answerDraftQuestion("DraftDiscard");
    window.draft().offerRestore();
    EXPECT_EQ(window.pageSet(), PageSet());
    EXPECT_FALSE(QFile::exists(left));
}

TEST(Draft, createdOrReopenedUnchanged_leavesNoDraft)
{
    QTemporaryDir program;
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(program.path()));
    auto *title = window.findChild<QWidget *>(QStringLiteral("t_Text"));
    test::typeText(title, QStringLiteral("abc"));
    clickOption(window, "Option1_1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(window.draft().path()); }, 10000));

    window.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    ASSERT_TRUE(QFile::exists(program.filePath(QStringLiteral("Popleaf/abc_data.htm"))));
    window.draft().saveAndWait();
    EXPECT_FALSE(QFile::exists(window.draft().path()));

    test::onNextModal([](QWidget *picker) {
        auto *list = picker->findChild<QAbstractItemView *>(QStringLiteral("File1"));
        const QModelIndexList found = list->model()->match(
            list->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("abc_1.htm"));
        ASSERT_EQ(found.size(), 1);
        list->setCurrentIndex(found.first());
        emit list->clicked(found.first());
    });
    window.findChild<QPushButton *>(QStringLiteral("Sel_FleName"))->click();
    ASSERT_EQ(window.pageSet().title, QStringLiteral("abc"));
    window.draft().saveNow();
    EXPECT_FALSE(QFile::exists(window.draft().path()));

    test::typeText(title, QStringLiteral("d"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(window.draft().path()); }, 10000));
    EXPECT_EQ(parseDraft(readAll(window.draft().path()))->title, QStringLiteral("abcd"));
}

TEST(Draft, damagedOrForeignDraft_setAsideWithAMessage)
{
    const QList<QByteArray> contents = {
        "not json at all",
        R"({"format":"other-program","version":1})",
        draftBytes(typedSet()).replace("\"kind\": 1", "\"kind\": 9"),
        draftBytes(typedSet()).left(200),
        draftBytes(typedSet()).replace("BackGround=", "onload=alert(1) x="),
    };
    for (const QByteArray &bytes : contents) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        QTemporaryDir program;
        RecordingDesktop desktop;
        MainWindow window(desktop, initPortablePaths(program.path()));
        const QString left = program.filePath(QStringLiteral("Zelmora.draft"));
        writeFile(left, bytes);
        window.draft().offerRestore();
        EXPECT_EQ(window.pageSet(), PageSet());
        ASSERT_EQ(desktop.calls.size(), 1);
        EXPECT_EQ(desktop.calls[0].kind, RecordingDesktop::Call::Warning);
        EXPECT_TRUE(desktop.calls[0].text.contains(QStringLiteral("Zelmora.draft.damaged")));
        EXPECT_EQ(readAll(left + QStringLiteral(".damaged")), bytes);
        EXPECT_FALSE(QFile::exists(left));
    }
}

// Two copies on one folder, the second started while the first types and
// drops a picture, each then ended its own way ("create" presses 作成 and is
// killed later). Every set comes back exactly, the enabling rules run as for
// clicks: one draft per later start, the most recently saved first. A set
// restored by a start that cannot write its own draft stays in the draft it
// came from, for the next start.
struct TwoCopies { const char *name, *first, *second; QStringList restored; bool firstStartCannotSave = false; };
void PrintTo(const TwoCopies &c, std::ostream *os) { *os << c.name; }
class DraftCopies : public ::testing::TestWithParam<TwoCopies> {};

TEST_P(DraftCopies, twoCopiesOnOneFolder_eachSetComesBack)
{
    const TwoCopies &c = GetParam();
    QTemporaryDir program, outside;
    ASSERT_TRUE(test::patternImage(40, 30).save(outside.filePath(QStringLiteral("cat.png"))));
    const QString titles[2] = {QStringLiteral("first"), QString()}; // and the usual one
    QProcess copies[2];
    for (int i : {0, 1}) {
        startTypist(copies[i], program.path(), outside.path(), {titles[i]});
        const QByteArray said = waitFor(copies[i], "READY");
        ASSERT_TRUE(said.contains("READY")) << copies[i].readAllStandardError().toStdString();
        EXPECT_FALSE(said.contains("ASKED")) << "copy " << i + 1 << " asked about a running copy's set";
    }
    for (int i : {0, 1}) {
        const QByteArray end = i ? c.second : c.first;
        if (end == "create") {
            copies[i].write("create\n"), copies[i].waitForBytesWritten();
            ASSERT_TRUE(waitFor(copies[i], "CREATED").contains("CREATED")) << copies[i].readAllStandardError().toStdString();
            EXPECT_TRUE(QFile::exists(program.filePath(QStringLiteral("Popleaf/%1_data.htm").arg(titles[i]))));
            continue;
        }
        end == "terminate" ? copies[i].terminate() : copies[i].kill();
        EXPECT_TRUE(copies[i].waitForFinished(10000));
    }
    for (QProcess &copy : copies)
        copy.kill(), copy.waitForFinished();
    // The picture came in from outside once, for both buttons of both copies.
    EXPECT_EQ(readAll(program.filePath(QStringLiteral("Popleaf/cat.png"))),
              readAll(outside.filePath(QStringLiteral("cat.png"))));
    EXPECT_FALSE(QFile::exists(program.filePath(QStringLiteral("Popleaf/cat_2.png"))));

    RecordingDesktop desktop;
    std::vector<std::unique_ptr<MainWindow>> starts;
    for (const QString &title : c.restored) {
        auto &window = *starts.emplace_back(std::make_unique<MainWindow>(desktop, initPortablePaths(program.path())));
        const bool cannotSave = c.firstStartCannotSave && starts.size() == 1;
        if (cannotSave) // a folder in its draft's place
            ASSERT_TRUE(QDir().mkdir(window.draft().path()));
        answerDraftQuestion("DraftRestore");
        window.draft().offerRestore();
        EXPECT_TRUE(window.pageSet() == typedSet(title)) << draftBytes(window.pageSet()).toStdString();
        if (!cannotSave)
            EXPECT_EQ(parseDraft(readAll(window.draft().path())), typedSet(title));
        EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("Frame3"))->isEnabled());
        EXPECT_FALSE(window.findChild<QWidget *>(QStringLiteral("Frame4"))->isEnabled());
        EXPECT_TRUE(window.findChild<QWidget *>(QStringLiteral("OpenFiles_BK"))->isEnabled());
    }
    // Each restored set is only in its window's own draft now: nothing more to offer.
    EXPECT_EQ(QDir(program.path()).entryList({QStringLiteral("*.draft")}, QDir::Files).size(),
              c.restored.size() - c.firstStartCannotSave);
    EXPECT_EQ(desktop.calls.size(), c.firstStartCannotSave ? 1 : 0) << "only the draft that cannot be saved is told";
}

INSTANTIATE_TEST_SUITE_P(Orders, DraftCopies, ::testing::Values(
    TwoCopies{"bothKilled",                     "kill",      "kill",      {"春の記録 it", "first"}},
    TwoCopies{"firstEndsNormally_secondKilled", "terminate", "kill",      {"春の記録 it", "first"}},
    TwoCopies{"secondEndsNormally_firstKilled", "kill",      "terminate", {"春の記録 it", "first"}},
    TwoCopies{"firstCreates_secondThenKilled",  "create",    "kill",      {"春の記録 it"}},
    TwoCopies{"bothKilled_firstStartCannotSave", "kill",      "kill",      {"春の記録 it", "春の記録 it", "first"}, true}),
    [](const auto &info) { return std::string(info.param.name); });

class PictureDrop : public testing::TestWithParam<bool> {};

TEST_P(PictureDrop, intoThePickerAndOnButtons_copiesWithFreeNamesAndRefusesBadNames)
{
    QTemporaryDir program, outside;
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(program.path()));
    const QString out = window.paths().outputFolder;
    const test::SystemFaults fileSystem(GetParam() ? test::likeExfat(QFile::encodeName(out)) : QList<test::SystemFault>{});
    // Picture files are told by their first bytes, whatever follows.
    const auto picture = [](const char *rest) { return QByteArray("GIF89a") + rest; };
    writeFile(QDir(out).filePath(QStringLiteral("a.png")), picture("the one already there"));
    writeFile(outside.filePath(QStringLiteral("a.png")), picture("another picture, same name"));
    writeFile(outside.filePath(QStringLiteral("same.gif")), picture("identical"));
    writeFile(QDir(out).filePath(QStringLiteral("same.gif")), picture("identical"));
    writeFile(outside.filePath(QStringLiteral("say \"hi\".png")), picture("quoted"));
    writeFile(outside.filePath(QStringLiteral("two\nlines.png")), picture("split"));
    writeFile(outside.filePath(QStringLiteral("secret.txt")), "PRIVATE bank notes");
    ASSERT_TRUE(QFile::link(outside.filePath(QStringLiteral("secret.txt")), outside.filePath(QStringLiteral("cute.png"))));
    writeFile(outside.filePath(QStringLiteral("text.png")), "\x89PNG not quite");
    ASSERT_EQ(::mkfifo(QFile::encodeName(outside.filePath(QStringLiteral("pipe.png"))).constData(), 0600), 0);

    struct Case { QString file, name, problem; };
    const QList<Case> cases = {
        {QStringLiteral("a.png"), QStringLiteral("a_2.png"), {}},
        {QStringLiteral("a.png"), QStringLiteral("a_2.png"), {}}, // the copy is reused
        {QStringLiteral("same.gif"), QStringLiteral("same.gif"), {}},
        {QStringLiteral("say \"hi\".png"), {}, QStringLiteral("「\"」")},
        {QStringLiteral("two\nlines.png"), {}, QStringLiteral("制御文字")},
        {QStringLiteral("cute.png"), {}, QStringLiteral("中身が gif、jpg、png、bmp の画像ではありません")},
        {QStringLiteral("text.png"), {}, QStringLiteral("中身が gif、jpg、png、bmp の画像ではありません")},
        {QStringLiteral("pipe.png"), {}, QStringLiteral("通常のファイルではありません")},
    };
    for (const Case &c : cases) {
        const PictureImport imported = importPicture(outside.filePath(c.file), out);
        EXPECT_EQ(imported.name, c.name) << c.file.toStdString();
        EXPECT_EQ(imported.problem.isEmpty(), c.problem.isEmpty()) << imported.problem.toStdString();
        EXPECT_TRUE(imported.problem.contains(c.problem));
    }
    EXPECT_EQ(readAll(QDir(out).filePath(QStringLiteral("a.png"))), picture("the one already there"));
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), 3);

    // Dropped on the picker's list: copied in and selected, so closing picks it.
    writeFile(outside.filePath(QStringLiteral("dropped.bmp")), "BM bitmap");
    clickOption(window, "Option1_2");
    test::onNextModal([&](QWidget *picker) {
        auto *list = picker->findChild<QWidget *>(QStringLiteral("File1"));
        EXPECT_TRUE(list->toolTip().contains(QStringLiteral("ドロップ")));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(outside.filePath(QStringLiteral("dropped.bmp")))});
        QDropEvent drop(QPointF(picker->mapFromGlobal(list->mapToGlobal(QPoint(5, 5)))),
                        Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject *>(picker)->event(&drop);
        auto *view = picker->findChild<QAbstractItemView *>(QStringLiteral("File1"));
        EXPECT_TRUE(QTest::qWaitFor([view] { return view->selectionModel()->hasSelection(); }, 20000));
        picker->close();
    });
    window.findChild<QPushButton *>(QStringLiteral("OpenFiles_1p"))->click();
    EXPECT_EQ(window.pageSet().page(1).standardFile, QStringLiteral("dropped.bmp"));

    // Dropped on an open 参照 button: taken by that button's page and kind,
    // or by the background; a closed button takes nothing.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const struct { const char *option, *button, *file; } drops[] = {
        {"Option1_3", "OpenFiles_1w", "wide.png"},
        {"Option0_1", "OpenFiles_BK", "back.gif"},
        {nullptr, "OpenFiles_1p", "closed.png"},
    };
    for (const auto &d : drops) {
        writeFile(outside.filePath(QString::fromLatin1(d.file)), picture(d.file));
        if (d.option)
            clickOption(window, d.option);
        auto *button = window.findChild<QWidget *>(QString::fromLatin1(d.button));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(outside.filePath(QString::fromLatin1(d.file)))});
        QDropEvent drop(QPointF(button->mapTo(&window, button->rect().center())), Qt::CopyAction, &mime,
                        Qt::LeftButton, Qt::NoModifier);
        static_cast<QObject *>(&window)->event(&drop);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.pageSet().backgroundValue == u"back.gif"; }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.pageSet().page(1).wideFile == u"wide.png"; }, 20000));
    EXPECT_EQ(window.pageSet().page(1).wideAlt, QStringLiteral("wide.png"));
    EXPECT_EQ(window.pageSet().page(1).standardFile, QStringLiteral("dropped.bmp"));
    EXPECT_FALSE(QFileInfo::exists(QDir(out).filePath(QStringLiteral("closed.png"))));
}

INSTANTIATE_TEST_SUITE_P(FileSystems, PictureDrop, testing::Values(false, true));
