// The program on a real window system, X11 or Wayland, as with_display.sh
// starts it: the main window shown, each window it opens shown and transient
// for it (so the desktop keeps it above the main window and moves them
// together), a preview of a set in the web engine, and 閉じる ending it.

#include "app/main_window.h"
#include "support/recording_desktop.h"
#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace zelmora;
using zelmora::test::child;

TEST(Platform, windowsShowTransientForTheMainWindowAndCloseClean)
{
    ASSERT_EQ(QGuiApplication::platformName(), QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM")));
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    MainWindow window(desktop, dir.path());
    PageSet set;
    set.title = QStringLiteral("abc");
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("一行目");
    window.showPageSet(set);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 20000));

    // Each command's window, in an order that needs no other input: the
    // colour dialog while the background is a colour, the picker after.
    const struct { const char *before, *button, *shown; } rows[] = {
        {nullptr,     "SelColor_BK",  "CommonDialog1"},
        {nullptr,     "Sel_FleName",  "Form2"},
        {nullptr,     "Option_btn",   "Form4"},
        {nullptr,     "Command2",     "Form3"},
        {"Option0_1", "OpenFiles_BK", "Form5"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.button);
        bool seen = false;
        test::onNextModal([&](QWidget *modal) {
            seen = true;
            EXPECT_EQ(modal->objectName(), QString::fromLatin1(row.shown));
            EXPECT_TRUE(QTest::qWaitForWindowExposed(modal, 20000));
            EXPECT_EQ(modal->windowHandle()->transientParent(), window.windowHandle());
            if (auto *page = modal->findChild<QWidget *>(QStringLiteral("WebBrowser1")))
                EXPECT_TRUE(QTest::qWaitFor([page] { return page->property("title").toString() == u"abc_1"; }, 30000))
                    << "the web engine shows page 1";
            modal->close();
        });
        if (row.before)
            child<QAbstractButton>(&window, QString::fromLatin1(row.before))->click();
        child<QAbstractButton>(&window, QString::fromLatin1(row.button))->click();
        EXPECT_TRUE(seen);
    }

    child<QAbstractButton>(&window, QStringLiteral("Command3"))->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(desktop.calls.isEmpty());
}
