// The preview road with hostile titles and with a temporary folder that
// holds more than preview pages: pages go into the temporary folder only,
// and closing the window deletes the pages it wrote and nothing else.

#include "reliability_support.h"
#include "support/record_editor.h"

#include "ui/preview_guest/preview_browser.h"
#include "support/in_process_preview.h"
#include "ui/preview_guest/preview_window.h"
#include "support/file_compare.h"
#include "support/recording_browser.h"
#include "support/recording_desktop.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using namespace zelmora::test;
using Call = RecordingDesktop::Call;

namespace {


class PreviewRoad : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(paths.previewFolder));
    }

    // The preview command; while the window is open, during() sees it, then
    // its close button closes it.
    void preview(const QString &title, const std::function<void(PreviewWindow *)> &during = {})
    {
        editor.set() = sampleSet(title);
        // Tied to this test: a refused preview leaves the timer pending, and
        // it must not close the next test's window.
        QTimer::singleShot(0, &mainWindow, [&] {
            auto *window = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget());
            if (!window)
                return; // refused: no window was shown
            if (during)
                during(window);
            window->close();
        });
        runPreviewCommand(&mainWindow, editor, state, paths, desktop, &factory);
    }

    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;
    RecordingBrowserFactory factory;
    QWidget mainWindow;
};

} // namespace

TEST_F(PreviewRoad, closing_deletesItsOwnPagesOnly_linkTargetAndFifoNeverOpened)
{
    const QString temp = paths.previewFolder;
    ASSERT_TRUE(QDir().mkpath(temp + QStringLiteral("sub")));
    writeFile(temp + QStringLiteral("sub/inner.htm"), "inner");
    writeFile(temp + QStringLiteral(".hidden"), "hidden");
    writeFile(temp + QStringLiteral("left by another program.txt"), "other");
    const QString outside = dir.filePath(QStringLiteral("outside.txt"));
    writeFile(outside, "the user's file");
    ASSERT_TRUE(QFile::link(outside, temp + QStringLiteral("link.htm")));
    ASSERT_TRUE(QFile::link(dir.path(), temp + QStringLiteral("folderlink")));
    makeFifo(temp + QStringLiteral("fifo"));
    OpenWatch fifoOpens(temp + QStringLiteral("fifo"));
    OpenWatch targetOpens(outside);
    ASSERT_TRUE(fifoOpens.isValid() && targetOpens.isValid());

    QStringList during;
    preview(QStringLiteral("abc"), [&](PreviewWindow *) { during = entryNames(temp); });

    EXPECT_EQ(during, (QStringList{".hidden", "abc_1.htm", "abc_2.htm", "abc_3.htm", "fifo", "folderlink",
                                   "left by another program.txt", "link.htm", "sub"}));
    EXPECT_EQ(fifoOpens.opens(), 0) << "the FIFO was opened";
    EXPECT_EQ(targetOpens.opens(), 0) << "the link's target was opened";
    EXPECT_EQ(entryNames(temp), (QStringList{".hidden", "fifo", "folderlink", "left by another program.txt",
                                             "link.htm", "sub"}));
    EXPECT_EQ(entryNames(temp + QStringLiteral("sub")), QStringList{"inner.htm"});
    EXPECT_TRUE(sameBytes("the user's file", readAll(outside)));
    EXPECT_TRUE(sameBytes("hidden", readAll(temp + QStringLiteral(".hidden"))));
    EXPECT_EQ(QFileInfo(temp + QStringLiteral("folderlink")).symLinkTarget(), dir.path());
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_EQ(editor.pageSet(), sampleSet(QStringLiteral("abc")));
}

// TEMP is a link to another folder (another user's, in a shared program
// folder): nothing is written or deleted through it, and the user is told.
TEST_F(PreviewRoad, temporaryFolderIsALink_refusedWithAMessage_targetUntouched)
{
    ASSERT_TRUE(QDir(paths.previewFolder).removeRecursively());
    const QString target = dir.filePath(QStringLiteral("someone else's"));
    ASSERT_TRUE(QDir().mkpath(target));
    writeFile(target + QStringLiteral("/abc_1.htm"), "their page");
    writeFile(target + QStringLiteral("/notes.txt"), "their notes");
    ASSERT_TRUE(QFile::link(target, dir.filePath(QStringLiteral("TEMP"))));
    const auto before = folderTree(dir.path());

    preview(QStringLiteral("abc"));

    EXPECT_EQ(desktop.calls, (QList<Call>{{Call::Warning, temporaryFolderLinkMessage(paths.previewFolder)}}));
    EXPECT_TRUE(factory.log.isEmpty()) << "no window";
    EXPECT_EQ(changedPaths(before, folderTree(dir.path())), QStringList{});
    EXPECT_EQ(editor.pageSet(), sampleSet(QStringLiteral("abc")));
}

// A second instance previews a set of the same title while this preview is
// open: its page is a new file, and this preview's close leaves it.
TEST_F(PreviewRoad, samePageWrittenBySecondInstance_keptWhenThisPreviewCloses)
{
    preview(QStringLiteral("abc"), [&](PreviewWindow *) {
        writeFile(paths.previewFolder + QStringLiteral("second"), "second instance");
        ASSERT_TRUE(QFile::remove(paths.previewFolder + QStringLiteral("abc_2.htm")));
        ASSERT_TRUE(QFile::rename(paths.previewFolder + QStringLiteral("second"),
                                  paths.previewFolder + QStringLiteral("abc_2.htm")));
    });
    EXPECT_EQ(entryNames(paths.previewFolder), QStringList{"abc_2.htm"});
    EXPECT_TRUE(sameBytes("second instance", readAll(paths.previewFolder + QStringLiteral("abc_2.htm"))));
    EXPECT_TRUE(desktop.calls.isEmpty());
}

TEST_F(PreviewRoad, temporaryFolderMissing_madeForThePreviewAndLeftEmpty)
{
    ASSERT_TRUE(QDir(paths.previewFolder).removeRecursively());
    QStringList during;
    preview(QStringLiteral("abc"), [&](PreviewWindow *) { during = entryNames(paths.previewFolder); });

    EXPECT_EQ(during, (QStringList{"abc_1.htm", "abc_2.htm", "abc_3.htm"}));
    EXPECT_EQ(entryNames(paths.previewFolder), QStringList{});
    EXPECT_TRUE(desktop.calls.isEmpty());
}

TEST_F(PreviewRoad, temporaryFolderTakenByAFile_reportedWithoutAWindow)
{
    ASSERT_TRUE(QDir(paths.previewFolder).removeRecursively());
    writeFile(dir.filePath(QStringLiteral("TEMP")), "not a folder");

    preview(QStringLiteral("abc"));

    EXPECT_EQ(desktop.calls, (QList<Call>{{Call::Warning, QStringLiteral("ファイルを書き込めませんでした。\n")
                                                              + paths.previewFolder
                                                              + QStringLiteral("abc_1.htm\n理由: Not a directory")}}));
    EXPECT_TRUE(factory.log.isEmpty());
    EXPECT_TRUE(sameBytes("not a folder", readAll(dir.filePath(QStringLiteral("TEMP")))));
    EXPECT_EQ(editor.pageSet(), sampleSet(QStringLiteral("abc")));
}

// ---- titles ------------------------------------------------------------

class PreviewTitleShown : public PreviewRoad, public testing::WithParamInterface<QString> {};

TEST_P(PreviewTitleShown, pagesNamedAsTypedInTheTemporaryFolder_allDeletedOnClose)
{
    const QString t = GetParam();
    const auto before = folderTree(dir.path());
    QStringList during;
    QString heading;
    preview(t, [&](PreviewWindow *w) {
        during = entryNames(paths.previewFolder);
        heading = w->findChild<QLabel *>(QStringLiteral("Label1"))->text()
            + w->findChild<QLabel *>(QStringLiteral("Label2"))->text();
    });

    EXPECT_EQ(during, (QStringList{t + "_1.htm", t + "_2.htm", t + "_3.htm"}));
    EXPECT_EQ(heading, t + QStringLiteral("_1"));
    EXPECT_EQ(factory.log, QStringList{paths.previewFolder + t + QStringLiteral("_1.htm")});
    EXPECT_EQ(changedPaths(before, folderTree(dir.path())), QStringList{}) << "nothing left behind";
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_EQ(editor.pageSet(), sampleSet(t));
}

INSTANTIATE_TEST_SUITE_P(Titles, PreviewTitleShown,
                         testing::Values(QStringLiteral("   "), QStringLiteral("say hi & (it is)"),
                                         QStringLiteral("<img src=x onerror=alert(1)>"),
                                         QStringLiteral(".."), QStringLiteral(".starts with a dot")));

struct RefusedPreview {
    const char *name;
    QString title;
    QString message; // {temp}: the temporary folder
};

void PrintTo(const RefusedPreview &c, std::ostream *os) { *os << c.name; }

class PreviewTitleRefused : public PreviewRoad, public testing::WithParamInterface<RefusedPreview> {};

TEST_P(PreviewTitleRefused, oneMessageNoWindowNothingWritten)
{
    const auto before = folderTree(dir.path());
    preview(GetParam().title);

    EXPECT_EQ(desktop.calls,
              (QList<Call>{{Call::Warning, QString(GetParam().message)
                                               .replace(QStringLiteral("{temp}"), paths.previewFolder)}}));
    EXPECT_TRUE(factory.log.isEmpty()) << "no window";
    EXPECT_EQ(changedPaths(before, folderTree(dir.path())), QStringList{});
    EXPECT_EQ(editor.pageSet(), sampleSet(GetParam().title));
}

namespace {

QString separatorMessage(const QString &what)
{
    return QStringLiteral("タイトル名に ") + what
        + QStringLiteral(" は使えません。\nタイトル名はファイル名になるため、"
                         "フォルダの区切り文字と NUL 文字を含めることはできません。");
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Titles, PreviewTitleRefused,
    testing::Values(
        RefusedPreview{"parentFolder", QStringLiteral("../x"), separatorMessage(QStringLiteral("「/」"))},
        RefusedPreview{"slash", QStringLiteral("a/b"), separatorMessage(QStringLiteral("「/」"))},
        RefusedPreview{"backslash", QStringLiteral("a\\b"), separatorMessage(QStringLiteral("「\\」"))},
        RefusedPreview{"nul", QStringLiteral("a") + QChar(0), separatorMessage(QStringLiteral("NUL 文字"))},
        RefusedPreview{"markupWithSlash", QStringLiteral("<b>x</b>"), separatorMessage(QStringLiteral("「/」"))},
        RefusedPreview{"apostrophe", QStringLiteral("it's"),
                       QStringLiteral("タイトル名に 「'」 は使えません。\nタイトル名はページのリンクとスクリプトに"
                                      "そのまま書かれるため、引用符 ' と \" を含めることはできません。")},
        RefusedPreview{"tab", QStringLiteral("a\tb"),
                       QStringLiteral("タイトル名に タブ (U+0009) は使えません。\nタイトル名はページの行に"
                                      "そのまま書かれるため、改行やタブなどの制御文字を含めることはできません。")},
        RefusedPreview{"longerThanAName", QString(300, u'a'),
                       QStringLiteral("ファイルを書き込めませんでした。\n{temp}") + QString(300, u'a')
                           + QStringLiteral("_1.htm\n理由: File name too long")}),
    [](const testing::TestParamInfo<RefusedPreview> &info) { return std::string(info.param.name); });
