// The program on X11 or Wayland, as with_display.sh starts it: each window
// the main window opens is shown transient for it (so the desktop keeps it
// above and moves them together), a preview shows in the web engine, and
// 閉じる ends it.

#include "app/main_window.h"
#include "support/recording_desktop.h"
#include "support/in_process_preview.h"
#include "ui/preview_guest/preview_module.h"
#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

using namespace zelmora;

TEST(Platform, windowsShowTransientForTheMainWindowAndCloseClean)
{
    ASSERT_EQ(QGuiApplication::platformName(), qEnvironmentVariable("QT_QPA_PLATFORM"));
    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    MainWindow window(desktop, initPortablePaths(dir.path()));
    window.setTitle(QStringLiteral("abc"));
    window.findChild<QAbstractButton *>(QStringLiteral("Option1_1"))->click();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 20000));

    // The colour dialog while the background is a colour, the picker after.
    for (const char *button : {"SelColor_BK", "Sel_FleName", "Option_btn", "Command2", "OpenFiles_BK"}) {
        SCOPED_TRACE(button);
        if (button == std::string("OpenFiles_BK"))
            test::child<QAbstractButton>(&window, QStringLiteral("Option0_1"))->click();
        int shown = 0;
        test::onNextModal([&](QWidget *modal) {
            shown += QTest::qWaitForWindowExposed(modal, 20000);
            EXPECT_EQ(modal->windowHandle()->transientParent(), window.windowHandle()) << modal->objectName().toStdString();
            if (auto *page = modal->findChild<QWidget *>(QStringLiteral("WebBrowser1")))
                EXPECT_TRUE(QTest::qWaitFor([page] { return page->property("title").toString() == u"abc_1"; }, 30000));
            modal->close();
        });
        // The program shows the preview in its preview process, whose window
        // no window of this one can own on Wayland; here the same window and
        // engine run in this process.
        if (button == std::string("Command2"))
            test::runPreviewCommand(&window, window, window.state(), window.paths(), desktop, test::previewModule());
        else
            test::child<QAbstractButton>(&window, QString::fromLatin1(button))->click();
        EXPECT_EQ(shown, 1);
    }
    test::child<QAbstractButton>(&window, QStringLiteral("Command3"))->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(desktop.calls.isEmpty());
}
