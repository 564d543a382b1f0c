// Writing through the main window when the folders hold traps: a symbolic
// link planted where a file of the program goes is replaced, never followed;
// every file of a creation is on disk before its first message shows; the
// message boxes show titles as plain text; and a settings file as Windows
// writes it is read and rewritten as Windows would.

#include "on_modal.h"
#include "reliability_support.h"

#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "core/files/draft_file.h"
#include "core/files/file_error.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box_desktop.h"
#include "core/commands/commands.h"
#include "ui/preview_guest/preview_browser.h"
#include "support/in_process_preview.h"
#include "support/file_compare.h"
#include "support/recording_browser.h"
#include "support/recording_desktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

void click(QWidget *window, const char *name)
{
    window->findChild<QAbstractButton *>(QString::fromLatin1(name))->click();
}

// ---- links planted where the program writes -------------------------------

enum class Road { Create, Preview, Options };

struct PlantedLinkCase {
    const char *name;
    const char *at;        // relative to the program folder
    Road road;
    QByteArray firstLine;  // of the file written in the link's place
};

void PrintTo(const PlantedLinkCase &c, std::ostream *os) { *os << c.name; }

class PlantedLink : public testing::TestWithParam<PlantedLinkCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("program/Popleaf"))));
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("program/TEMP"))));
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QStringLiteral("home"))));
        m_window = std::make_unique<MainWindow>(m_desktop, initPortablePaths(m_dir.filePath(QStringLiteral("program"))));
        m_window->show();
        m_window->showPageSet(sampleSet(QStringLiteral("abc")));
        m_desktop.answer = true; // replacing what lies at the set's names
    }

    // Runs the road; check() looks at the folder while the road's window is
    // still open (the preview deletes its pages when it closes).
    void run(Road road, const std::function<void()> &check)
    {
        switch (road) {
        case Road::Create:
            click(m_window.get(), "Command1");
            check();
            return;
        case Road::Preview: {
            const qsizetype shown = m_factory.log.size();
            onModal([&](QWidget *preview) {
                check();
                preview->close();
            });
            runPreviewCommand(m_window.get(), *m_window, m_window->state(), m_window->paths(), m_desktop,
                              &m_factory);
            EXPECT_EQ(m_factory.log.size(), shown + 1) << "the preview was shown";
            return;
        }
        case Road::Options:
            onModal([](QWidget *options) { options->close(); });
            click(m_window.get(), "Option_btn");
            check();
            return;
        }
        Q_ASSERT(false); // you forgot a road above
    }

    QString path(const char *relative) const
    {
        return m_dir.filePath(QStringLiteral("program/") + QString::fromLatin1(relative));
    }

    QTemporaryDir m_dir;
    RecordingDesktop m_desktop;
    // Outlives the window, which keeps its preview window and browser.
    RecordingBrowserFactory m_factory;
    std::unique_ptr<MainWindow> m_window;
};

TEST_P(PlantedLink, theLinkIsReplacedAndWhatItPointsToIsLeftAlone)
{
    const PlantedLinkCase &c = GetParam();
    // Another user's file, and a name in their folder that does not exist yet.
    const QString victim = m_dir.filePath(QStringLiteral("home/.bashrc"));
    const QByteArray victimBytes = "export PATH=$HOME/bin:$PATH\n";
    writeFile(victim, victimBytes);
    const QString absent = m_dir.filePath(QStringLiteral("home/.profile"));

    for (const QString &target : {victim, absent}) {
        SCOPED_TRACE(target.toStdString());
        QFile::remove(path(c.at));
        ASSERT_TRUE(QFile::link(target, path(c.at)));
        m_window->showPageSet(sampleSet(QStringLiteral("abc")));
        m_desktop.calls.clear();

        bool checked = false;
        run(c.road, [&] {
            checked = true;
            const QFileInfo written(path(c.at));
            EXPECT_FALSE(written.isSymLink()) << "the link itself is replaced";
            EXPECT_TRUE(written.isFile());
            EXPECT_TRUE(readAll(path(c.at)).startsWith(c.firstLine + "\r\n"));
            EXPECT_FALSE(readAll(path(c.at)).contains(victimBytes)) << "nothing read through the link";
        });
        EXPECT_TRUE(checked);
        EXPECT_TRUE(sameBytes(victimBytes, readAll(victim)));
        EXPECT_FALSE(QFileInfo::exists(absent)) << "nothing is created where a dangling link points";
        for (const Call &call : m_desktop.calls)
            EXPECT_NE(call.kind, Call::Warning) << call.text.toStdString();
    }
    EXPECT_EQ(entryNames(m_dir.filePath(QStringLiteral("home"))), QStringList{".bashrc"});
}

INSTANTIATE_TEST_SUITE_P(
    Writing, PlantedLink,
    testing::Values(PlantedLinkCase{"popupPage", "Popleaf/abc_1.htm", Road::Create, "<html>"},
                    PlantedLinkCase{"lastPopupPage", "Popleaf/abc_3.htm", Road::Create, "<html>"},
                    PlantedLinkCase{"dataPage", "Popleaf/abc_data.htm", Road::Create, "<html>"},
                    PlantedLinkCase{"previewPage", "TEMP/abc_1.htm", Road::Preview, "<html>"},
                    PlantedLinkCase{"settingsFile", "Zelmora.ini", Road::Options, "[OptionSettei]"}),
    [](const testing::TestParamInfo<PlantedLinkCase> &info) { return std::string(info.param.name); });

// ---- a failing disk, a full one, a stick turned read-only ----------------

// A page, the settings, a draft (the window's own, or one left behind for the
// read) and an imported picture, as the fault harness fails the disk under
// them (the picture's own folder for its read): one warning names the file and
// the reason, the old file stays whole, nothing half-written is left beside it,
// and the editor keeps the set. A page read is OpenRoad's.
struct DiskFault { const char *name; SystemCall call; int error; };
void PrintTo(const DiskFault &fault, std::ostream *os) { *os << fault.name; }
class FailingDisk : public testing::TestWithParam<std::tuple<std::string, DiskFault>> {};

TEST_P(FailingDisk, oneMessageNamesTheFileAndTheReason_oldFileWhole)
{
    const auto &[target, fault] = GetParam();
    const bool read = fault.call == SystemCall::Read, draft = target == "draft", picture = target == "picture";
    QTemporaryDir dir, outside;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString file = program + (target == "page" ? "/Popleaf/abc_1.htm" : target == "settings" ? "/Zelmora.ini"
                              : draft ? "/Zelmora.1.draft" : "/Popleaf/pic.gif");
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/Popleaf")));
    if (!picture && (!draft || read))
        writeFile(file, draft ? draftBytes(sampleSet(QStringLiteral("left"))) : "old\r\n");
    writeFile(outside.filePath(QStringLiteral("pic.gif")), "GIF89a picture");
    RecordingDesktop desktop;
    desktop.answer = true;
    MainWindow window(desktop, initPortablePaths(program));
    window.show();
    window.showPageSet(sampleSet(QStringLiteral("abc")));
    window.draft().saveAndWait(); // the old draft, when it is the window's own
    const QByteArray old = QFileInfo::exists(file) ? readAll(file) : QByteArray();
    PageSet editing = sampleSet(QStringLiteral("abc"));
    editing.page(1).text = QStringLiteral("書きかけ");
    window.showPageSet(editing);
    {
        const SystemFaults disk({{fault.call, fault.error, QFile::encodeName(read && picture ? outside.path() : program)}});
        if (target == "page")
            click(&window, "Command1");
        if (target == "settings")
            onModal([](QWidget *options) { options->close(); }), click(&window, "Option_btn");
        if (draft)
            read ? window.draft().offerRestore() : window.draft().saveAndWait();
        if (picture) {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(outside.filePath(QStringLiteral("pic.gif")))});
            click(&window, "Option0_1");
            auto *button = window.findChild<QWidget *>(QStringLiteral("OpenFiles_BK"));
            QDropEvent drop(QPointF(button->mapTo(&window, button->rect().center())), Qt::CopyAction, &mime,
                            Qt::LeftButton, Qt::NoModifier);
            static_cast<QObject *>(&window)->event(&drop);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !desktop.calls.isEmpty(); }, 20000));
        }
    }
    desktop.calls.removeIf([](const Call &call) { return call.kind == Call::Question; }); // replace abc?
    ASSERT_EQ(desktop.calls.size(), 1) << testing::PrintToString(desktop.calls);
    EXPECT_EQ(desktop.calls[0].kind, Call::Warning);
    for (const QString &part : {QFileInfo(read && picture ? QStringLiteral("pic.gif") : file).fileName(),
                                systemErrorText(fault.error)})
        EXPECT_TRUE(desktop.calls[0].text.contains(part)) << desktop.calls[0].text.toStdString();
    EXPECT_EQ(QFileInfo::exists(file) ? readAll(file) : QByteArray(), old);
    for (const QString &folder : {program, program + QStringLiteral("/Popleaf")})
        for (const QString &name : entryNames(folder))
            EXPECT_FALSE(name.startsWith(u'.')) << "left behind: " << name.toStdString();
    EXPECT_EQ(window.pageSet().page(1).text, editing.page(1).text) << "the editor keeps the set";
}

const auto faultName = [](const auto &info) { return std::get<0>(info.param) + "_" + std::get<1>(info.param).name; };
INSTANTIATE_TEST_SUITE_P(Faults, FailingDisk, testing::Combine(testing::Values("page", "settings", "draft", "picture"),
    testing::Values(DiskFault{"eioOnWrite", SystemCall::Write, EIO}, DiskFault{"eioOnSync", SystemCall::Sync, EIO},
                    DiskFault{"fullDisk", SystemCall::Write, ENOSPC},
                    DiskFault{"readOnly", SystemCall::OpenForWriting, EROFS})), faultName);
INSTANTIATE_TEST_SUITE_P(ReadFaults, FailingDisk, testing::Combine(testing::Values("settings", "draft", "picture"),
    testing::Values(DiskFault{"eioOnRead", SystemCall::Read, EIO})), faultName);

// ---- what the user sees while the messages are open ----------------------

// A title with markup, through the real message boxes: each is plain text of
// a sensible size, and every file of the set is complete on disk before the
// first one shows.
TEST(CreateMessages, plainTextBoxesShownOnlyOnceEveryFileIsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // No browser: the data page is not handed to the desktop.
    writeFile(dir.filePath(QStringLiteral("Zelmora.ini")), "[OptionSettei]\r\nDousaSettei=0\r\n");
    MessageBoxDesktop desktop(nullptr);
    MainWindow window(desktop, initPortablePaths(dir.path()));
    window.show();
    const QString title = QStringLiteral("<img src=x width=1200 height=900>");
    PageSet set = sampleSet(title);
    window.showPageSet(set);
    const QString out = window.paths().outputFolder;

    struct Seen {
        QString text;
        Qt::TextFormat format = Qt::AutoText;
        int height = 0;
        QStringList files;
        bool dataPageComplete = false;
        Qt::CursorShape cursor = Qt::CustomCursor; // CustomCursor: none set
    };
    QList<Seen> seen;
    std::function<void(QWidget *)> look = [&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        const QByteArray data = readAll(out + title + QStringLiteral("_data.htm"));
        seen.push_back({box->text(), box->textFormat(), box->sizeHint().height(), entryNames(out),
                        data.endsWith("</html>\r\n") && data.count("\r\n") == 53,
                        QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::CustomCursor});
        if (seen.size() == 1)
            onModal(look);
        box->accept();
    };
    onModal(look);
    click(&window, "Command1");

    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0].text, createdPagesMessage(title, QStringLiteral(".htm"), 3));
    EXPECT_EQ(seen[1].text, QStringLiteral("データページ[") + title + QStringLiteral("_data.htm] を作成しました｡"));
    const QStringList all{title + "_1.htm", title + "_2.htm", title + "_3.htm", title + "_data.htm"};
    for (const Seen &s : seen) {
        EXPECT_EQ(s.format, Qt::PlainText);
        EXPECT_LT(s.height, 300) << "the markup is not rendered";
        EXPECT_EQ(s.files, all) << "every file is written before the first message";
        EXPECT_TRUE(s.dataPageComplete);
        EXPECT_EQ(s.cursor, Qt::ArrowCursor) << "the normal cursor over a box";
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the wait cursor ended";
    EXPECT_EQ(window.pageSet().title, QString()) << "cleared after the second message";
}

// ---- a settings file as Windows leaves it ----------------------------------

TEST(WindowsSettings, verticalTabsTrimmed_rewrittenLastLineEndsInCrLf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString ini = dir.filePath(QStringLiteral("Zelmora.ini"));
    writeFile(ini, "[OptionSettei]\r\nDousaSettei=0\r\nKensakuSettei=\v2\v\r\nHomeName=\v\tTop \v\r\n"
                   "HomeURL=u\r\nKakucyosiSettei=1");
    RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(dir.path()));
    window.show();
    window.showPageSet(sampleSet(QStringLiteral("abc")));

    click(&window, "Command1");
    const QByteArray page = readAll(window.paths().outputFolder + QStringLiteral("abc_1.html"));
    EXPECT_TRUE(page.contains("\r\n<META NAME=\"ROBOTS\" CONTENT=\"INDEX, FOLLOW\">\r\n"));
    EXPECT_TRUE(page.contains("<span id=\"param2\"><A HREF=\"u\">Top</A></span>\r\n"))
        << "the home name read without its vertical tabs";

    // The dialog shows what create read, and going back to .htm rewrites
    // the last line, which had no line end.
    onModal([](QWidget *options) {
        EXPECT_TRUE(options->findChild<QAbstractButton *>(QStringLiteral("OptSettei_2"))->isChecked());
        options->findChild<QAbstractButton *>(QStringLiteral("OptKcyosi_0"))->click();
        options->close();
    });
    click(&window, "Option_btn");
    EXPECT_TRUE(sameBytes("[OptionSettei]\r\nDousaSettei=0\r\nKensakuSettei=\v2\v\r\nHomeName=\v\tTop \v\r\n"
                          "HomeURL=u\r\nKakucyosiSettei=0\r\nMojiCodeSettei=0\r\nKeishikiSettei=0\r\n",
                          readAll(ini)));
}

} // namespace
