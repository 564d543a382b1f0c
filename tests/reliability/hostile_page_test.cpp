// Page files that are not what the reader expects, through the open road:
// the set picker lists the folder, the user chooses a file of the set, and
// the reader meets the page. Nothing hangs, memory stays bounded, the user
// is told what was read, and a choice that reads nothing leaves the editor
// with the user's work.

#include "reliability_support.h"
#include "support/record_editor.h"

#include "core/files/page_lines.h"
#include "core/reopen/page_reader.h"
#include "support/reopen_test_support.h"
#include "app/program_windows.h"
#include "ui/set_picker/set_picker.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {

const char *const kCloseLine = "<input type=\"button\" value=\"閉じる\" onClick=\"Check_E()\">";
const QString kOutside = QStringLiteral(" は Popleaf の外にあるファイルへのリンクのため、読み込みませんでした。");
const char *const kNextLine = "<input type=\"button\" value=\"次へ\" onClick=\"Check('abc_2.htm',event)\">";

class OpenRoad : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_paths = initPortablePaths(m_dir.path());
        m_editor.set() = sampleSet(QStringLiteral("mine"));
        // The data page, the file the user chooses: present whatever the pages are.
        writeFile(page("data"), "<html>\r\n");
    }

    QString page(const char *suffix) const
    {
        return m_paths.outputFolder + QStringLiteral("abc_") + QString::fromLatin1(suffix)
            + QStringLiteral(".htm");
    }

    // The open command, choosing abc_data.htm in the picker.
    void chooseDataPage()
    {
        QTimer::singleShot(0, [] {
            auto *picker = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            auto *list = picker->findChild<QListWidget *>(QStringLiteral("File1"));
            const auto items = list->findItems(QStringLiteral("abc_data.htm"), Qt::MatchExactly);
            ASSERT_EQ(items.size(), 1);
            emit list->itemClicked(items.first());
        });
        ProgramWindows windows(&m_main, m_paths, m_desktop);
        openSet({m_editor, m_state, m_paths, m_desktop, windows});
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the picker has closed";
        EXPECT_TRUE(m_desktop.wasBusy && m_desktop.busy == 0) << "the wait cursor shown, and ended on the way out";
    }

    QTemporaryDir m_dir;
    ProgramPaths m_paths;
    QWidget m_main;
    RecordEditor m_editor;
    EditorState m_state;
    RecordingDesktop m_desktop;
};

// Page 1 as something that is no regular file, or one the reader refuses
// to read (then with its own warning).
struct NotAFile {
    const char *name;
    std::function<void(const QString &path)> make;
    const char *kind; // as folderTree() shows it afterwards
    QString refusal;
};

void PrintTo(const NotAFile &c, std::ostream *os) { *os << c.name; }

class PageOneNotAFile : public OpenRoad, public testing::WithParamInterface<NotAFile> {};

TEST_P(PageOneNotAFile, notFoundWithoutHanging_editorKeepsTheWork)
{
    GetParam().make(page("1"));
    const auto before = folderTree(m_dir.path());

    chooseDataPage();

    EXPECT_EQ(m_desktop.calls, (QList<Call>{GetParam().refusal.isEmpty()
                                                ? Call{Call::Plain, QStringLiteral("ファイルが見つかりません。")}
                                                : Call{Call::Warning, GetParam().refusal}}));
    EXPECT_EQ(m_editor.pageSet(), sampleSet(QStringLiteral("mine")));
    EXPECT_EQ(changedPaths(before, folderTree(m_dir.path())), QStringList{});
    EXPECT_EQ(folderTree(m_dir.path()).value(QStringLiteral("Popleaf/abc_1.htm")).left(1),
              QString::fromLatin1(GetParam().kind));
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageOneNotAFile,
    testing::Values(
        NotAFile{"folder", [](const QString &p) { ASSERT_TRUE(QDir().mkdir(p)); }, "d"},
        NotAFile{"fifoNobodyWritesTo", [](const QString &p) { makeFifo(p); }, "p"},
        NotAFile{"linkToDevZero",
                 [](const QString &p) { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), p)); }, "l"},
        NotAFile{"danglingLink",
                 [](const QString &p) { ASSERT_TRUE(QFile::link(p + QStringLiteral(".gone"), p)); }, "l"},
        NotAFile{"linkToAPageOutside",
                 [](const QString &p) {
                     const QString notes = QFileInfo(p).absolutePath() + QStringLiteral("/../notes.htm");
                     writeFile(notes, sjisFile({"<span id=\"param3\">PRIVATE bank notes</span>", kCloseLine}));
                     ASSERT_TRUE(QFile::link(QFileInfo(notes).canonicalFilePath(), p));
                 }, "l", QStringLiteral("[ abc_1.htm ]") + kOutside},
        // Popleaf-old starts with the folder's name but is beside it.
        NotAFile{"linkIntoAFolderNamedAlike",
                 [](const QString &p) {
                     const QString old = QFileInfo(p).absolutePath() + QStringLiteral("-old/abc_1.htm");
                     ASSERT_TRUE(QDir().mkpath(QFileInfo(old).absolutePath()));
                     writeFile(old, sjisFile({"<span id=\"param3\">PRIVATE bank notes</span>", kCloseLine}));
                     ASSERT_TRUE(QFile::link(QFileInfo(old).canonicalFilePath(), p));
                 }, "l", QStringLiteral("[ abc_1.htm ]") + kOutside},
        NotAFile{"largerThanAnyPage",
                 [](const QString &p) {
                     QFile file(p);
                     ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kMaxPageFileBytes + 1));
                 }, "f", QStringLiteral("[ abc_1.htm ] は 32 MB を超えていて、ページのファイルとしては大きすぎるため、"
                                        "読み込みませんでした。")}),
    [](const testing::TestParamInfo<NotAFile> &info) { return std::string(info.param.name); });

// A downloaded set may link a page's name to any file, and what is read is
// written into the folder the user uploads.
TEST_F(OpenRoad, laterPageALinkInsideIsRead_oneOutsideEndsTheSetSayingWhy)
{
    writeFile(page("1"), sjisFile({kNextLine}));
    writeFile(page("other"), sjisFile({kNextLine}));
    ASSERT_TRUE(QFile::link(page("other"), page("2")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/passwd"), page("3")));
    chooseDataPage();
    EXPECT_EQ(m_desktop.calls, (QList<Call>{{Call::Information, QStringLiteral("ポップリーフ [ abc_1.htm ] ～ [ abc_2.htm ] "
                                                                               "を読み込みました。\n[ abc_3.htm ]") + kOutside}}));
}

TEST_F(OpenRoad, laterPageAFifo_endsTheSetAfterThePagesRead)
{
    writeFile(page("1"), sjisFile({"<body BgColor=\"#102030\" onblur=\"Check('abc_2.htm',event)\">",
                                   "<span id=\"param3\">一頁目</span>", kNextLine}));
    makeFifo(page("2"));

    chooseDataPage();

    EXPECT_EQ(m_desktop.calls,
              (QList<Call>{{Call::Information, QStringLiteral("ポップリーフ [ abc_1.htm ] を読み込みました。")}}));
    PageSet expected = resetSet(QStringLiteral("abc"));
    selectBackgroundKind(expected, BackgroundKind::Colour);
    expected.backgroundValue = QStringLiteral("#102030");
    expected.page(1).kind = PageKind::Text;
    expected.page(1).text = QStringLiteral("一頁目");
    EXPECT_EQ(m_editor.pageSet(), expected);
}

// A failing disk: page 1 read, page 2 not. Part of the set is not the set.
TEST_F(OpenRoad, readErrorInAPage_setRefusedNamingTheFileAndTheReason)
{
    writeFile(page("1"), sjisFile({kNextLine}));
    writeFile(page("2"), sjisFile({kCloseLine}));
    const SystemFaults failingDisk({{SystemCall::Read, EIO, "abc_2.htm"}});
    chooseDataPage();
    EXPECT_EQ(m_desktop.calls, (QList<Call>{{Call::Warning, QStringLiteral(
        "[ abc_2.htm ] を最後まで読み込めなかったため、セットを開きませんでした。\n理由: ") + systemErrorText(EIO)}}));
    EXPECT_EQ(m_editor.pageSet(), sampleSet(QStringLiteral("mine")));
}

TEST_F(OpenRoad, bytesThatAreNotCp932_readWithReplacementCharacters)
{
    // A lead byte without its trail byte, bytes CP932 never uses, NULs.
    const char raw[] = "<body BgColor=\"\x81\" onblur=\"Check_E()\">\r\n"
                       "<span id=\"param3\">\x82\xa0\xfd\xfe\xff\0\0x</span>\r\n";
    writeFile(page("1"), QByteArray(raw, sizeof raw - 1) + sjis(kCloseLine) + "\r\n");
    chooseDataPage();

    EXPECT_EQ(m_desktop.calls,
              (QList<Call>{{Call::Information, QStringLiteral("ポップリーフ [ abc_1.htm ] を読み込みました。")}}));
    const PageSet got = m_editor.pageSet();
    EXPECT_EQ(got.backgroundValue, QStringLiteral("\uFFFD"));
    EXPECT_EQ(got.page(1).kind, PageKind::Text);
    EXPECT_EQ(got.page(1).text, QStringLiteral("あ\uFFFD\uFFFD\uFFFD") + QChar(0) + QChar(0) + u'x');
}

TEST_F(OpenRoad, largestPage_readInBoundedMemory)
{
    // One line of 30 MB between the lines the writer puts there, in a file
    // of exactly the largest size a page may have, never held whole.
    {
        QFile file(page("1"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(sjisFile({"<body BgColor=\"#ffffff\" onblur=\"Check_E()\">"}));
        file.write("<span id=\"param3\">");
        const QByteArray chunk = sjis("長い行").repeated((1 << 20) / 6 + 1);
        for (int i = 0; i < 30; ++i)
            ASSERT_EQ(file.write(chunk), chunk.size());
        file.write("</span>\r\n");
        file.write(sjisFile({"<span id=\"param3\">short text</span>", kCloseLine}));
        ASSERT_TRUE(file.resize(kMaxPageFileBytes));
    }

    resetPeakMemory();
    const qint64 start = residentMemoryBytes();
    ASSERT_GT(start, 0);
    ASSERT_LE(peakMemoryBytes(), start + (4 << 20)) << "the peak could not be reset";
    chooseDataPage();
    const qint64 growth = peakMemoryBytes() - start;

    EXPECT_LT(growth, 64 << 20) << "peak memory grew by " << growth << " bytes";
    EXPECT_EQ(m_desktop.calls,
              (QList<Call>{{Call::Information, QStringLiteral("ポップリーフ [ abc_1.htm ] を読み込みました。")}}));
    EXPECT_EQ(m_editor.pageSet().page(1).text, QStringLiteral("short text"));
    EXPECT_EQ(m_editor.pageSet().backgroundValue, QStringLiteral("#ffffff"));
}

} // namespace
