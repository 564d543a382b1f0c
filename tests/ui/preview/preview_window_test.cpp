#include "ui/preview_guest/preview_browser.h"
#include "support/record_editor.h"
#include "support/in_process_preview.h"
#include "ui/preview_guest/preview_window.h"

#include "support/recording_browser.h"
#include "support/recording_desktop.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace zelmora;
using namespace zelmora::test;

namespace {

struct PreviewCommandFixture : testing::Test {
    QTemporaryDir dir;
    ProgramPaths paths = initPortablePaths(dir.path());
    EditorState state;
    RecordingDesktop desktop;
    RecordEditor editor;
    RecordingBrowserFactory factory;
    QWidget mainWindow;

    // Runs the preview; while it is open, `during` gets the window, then it
    // is closed by the given button or by the close box.
    void preview(const std::function<void(PreviewWindow *)> &during, bool byCloseBox = false)
    {
        QTimer::singleShot(0, [&] {
            auto *w = qobject_cast<PreviewWindow *>(QApplication::activeModalWidget());
            ASSERT_TRUE(w);
            during(w);
            if (byCloseBox)
                w->close();
            else
                w->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
        });
        runPreviewCommand(&mainWindow, editor, state, paths, desktop, &factory);
    }
    static QString heading(PreviewWindow *w)
    {
        return w->findChild<QLabel *>(QStringLiteral("Label1"))->text()
            + w->findChild<QLabel *>(QStringLiteral("Label2"))->text();
    }
    static void click(PreviewWindow *w, const char *name)
    {
        w->findChild<QPushButton *>(QString::fromLatin1(name))->click();
    }
    QString page(int k) const
    {
        return paths.previewFolder + editor.pageSet().title + u'_' + QString::number(k) + QStringLiteral(".htm");
    }
    void kinds(std::initializer_list<PageKind> ks)
    {
        int k = 1;
        for (PageKind kind : ks)
            editor.set().page(k++).kind = kind;
    }
};

constexpr auto None = PageKind::None;
constexpr auto Text = PageKind::Text;

} // namespace

TEST_F(PreviewCommandFixture, markupTitleIsShownAsText)
{
    editor.set().title = QStringLiteral("<img src=x width=1200 height=900>");
    kinds({Text});
    preview([&](PreviewWindow *w) {
        EXPECT_EQ(heading(w), editor.set().title + QStringLiteral("_1"));
        // Rendered as markup, the picture would make the heading 900 px tall.
        EXPECT_LT(w->findChild<QLabel *>(QStringLiteral("Label1"))->sizeHint().height(), 60);
    });
}

TEST_F(PreviewCommandFixture, onePageSetReloadsPageOneBothWays)
{
    editor.set().title = QStringLiteral("one");
    kinds({Text});
    QStringList headings;
    preview([&](PreviewWindow *w) {
        EXPECT_TRUE(QFileInfo::exists(page(1))) << "pages are written before the window shows";
        headings << heading(w);
        click(w, "Com_frd");
        headings << heading(w);
        click(w, "Com_bak");
        headings << heading(w);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("ページプレビュー"));
    });
    EXPECT_EQ(headings, (QStringList{"one_1", "one_1", "one_1"}));
    EXPECT_EQ(factory.log, (QStringList{page(1), page(1), page(1)}));
    EXPECT_FALSE(QFileInfo::exists(page(1))) << "deleted on close";
    EXPECT_TRUE(desktop.calls.isEmpty());
}

TEST_F(PreviewCommandFixture, forwardStopsAtTheLastPageBeforeAGap)
{
    editor.set().title = QStringLiteral("gap");
    kinds({Text, Text, Text, None, Text, Text});
    preview([&](PreviewWindow *w) {
        for (int i = 0; i < 4; ++i)
            click(w, "Com_frd");
        EXPECT_EQ(heading(w), QStringLiteral("gap_3"));
    });
    EXPECT_EQ(factory.log, (QStringList{page(1), page(2), page(3), page(3), page(3)}));
}

TEST_F(PreviewCommandFixture, sixPagesStepThroughAndBackWithBounds)
{
    editor.set().title = QStringLiteral("six");
    kinds({Text, Text, Text, Text, Text, Text});
    preview([&](PreviewWindow *w) {
        for (int i = 0; i < 6; ++i)
            click(w, "Com_frd");
        EXPECT_EQ(heading(w), QStringLiteral("six_6"));
        for (int i = 0; i < 6; ++i)
            click(w, "Com_bak");
        EXPECT_EQ(heading(w), QStringLiteral("six_1"));
        // → and ← press the buttons (pressed in for a moment, as a click).
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        QTest::keyClick(w, Qt::Key_Right);
        EXPECT_TRUE(QTest::qWaitFor([&] { return heading(w) == QStringLiteral("six_2"); }));
        QTest::keyClick(w, Qt::Key_Left);
        EXPECT_TRUE(QTest::qWaitFor([&] { return heading(w) == QStringLiteral("six_1"); }));
    });
    QStringList expected{page(1)};
    for (int k : {2, 3, 4, 5, 6, 6, 5, 4, 3, 2, 1, 1, 2, 1})
        expected << page(k);
    EXPECT_EQ(factory.log, expected);
}

TEST_F(PreviewCommandFixture, secondPreviewReusesTheWindowAndStartsAtPageOne)
{
    editor.set().title = QStringLiteral("first");
    kinds({Text, Text});
    preview([&](PreviewWindow *w) { click(w, "Com_frd"); });
    editor.set().title = QStringLiteral("second");
    preview([&](PreviewWindow *w) { EXPECT_EQ(heading(w), QStringLiteral("second_1")); }, true);
    EXPECT_EQ(factory.created, 1);
    EXPECT_EQ(factory.log.last(), page(1));
    EXPECT_TRUE(QDir(paths.previewFolder).entryList(QDir::Files).isEmpty()) << "close box cleans up too";
}

TEST_F(PreviewCommandFixture, emptyFirstPageShowsNothing)
{
    editor.set().title = QStringLiteral("none");
    kinds({None, Text});
    runPreviewCommand(&mainWindow, editor, state, paths, desktop, &factory);
    EXPECT_EQ(factory.created, 0);
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_EQ(state.lastTitle, QStringLiteral("none"));
}

TEST_F(PreviewCommandFixture, unwritablePageIsReportedWithoutAWindow)
{
    editor.set().title = QStringLiteral("x");
    kinds({Text});
    ASSERT_TRUE(QDir().mkpath(paths.previewFolder + QStringLiteral("x_1.htm")));
    runPreviewCommand(&mainWindow, editor, state, paths, desktop, &factory);
    EXPECT_EQ(factory.created, 0);
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0].kind, RecordingDesktop::Call::Warning);
}

TEST_F(PreviewCommandFixture, titleWithASeparatorWritesNothing)
{
    editor.set().title = QStringLiteral("../../escape");
    kinds({Text});
    runPreviewCommand(&mainWindow, editor, state, paths, desktop, &factory);
    EXPECT_EQ(factory.created, 0);
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("escape_1.htm"))));
    EXPECT_FALSE(QFileInfo::exists(paths.previewFolder));
}

TEST_F(PreviewCommandFixture, closingDeletesItsOwnPagesOnly)
{
    editor.set().title = QStringLiteral("t");
    kinds({Text});
    ASSERT_TRUE(QDir().mkpath(paths.previewFolder + QStringLiteral("sub")));
    QFile other(paths.previewFolder + QStringLiteral("other.txt"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    QFile hidden(paths.previewFolder + QStringLiteral(".keep"));
    ASSERT_TRUE(hidden.open(QIODevice::WriteOnly));
    hidden.close();
    preview([](PreviewWindow *) {});
    EXPECT_EQ(QDir(paths.previewFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{".keep", "other.txt", "sub"}));
}

TEST_F(PreviewCommandFixture, layoutFollowsTheTable)
{
    editor.set().title = QStringLiteral("t");
    kinds({Text});
    preview([&](PreviewWindow *w) {
        EXPECT_EQ(w->size(), QSize(324, 254));
        EXPECT_EQ(w->findChild<QWidget *>(QStringLiteral("WebBrowser1"))->geometry(), QRect(0, 32, 324, 177));
        EXPECT_EQ(w->findChild<QPushButton *>(QStringLiteral("Com_bak"))->geometry(), QRect(32, 214, 33, 33));
        EXPECT_EQ(w->findChild<QPushButton *>(QStringLiteral("Com_frd"))->geometry(), QRect(64, 214, 33, 33));
        EXPECT_EQ(w->findChild<QPushButton *>(QStringLiteral("Command1"))->geometry(), QRect(200, 216, 107, 25));
        EXPECT_EQ(w->findChild<QPushButton *>(QStringLiteral("Command1"))->text(), QStringLiteral("閉じる(&C)"));
    });
}
