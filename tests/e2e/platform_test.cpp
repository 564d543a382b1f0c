// The program on X11 or Wayland, as with_display.sh starts it: each window
// the main window opens is shown transient for it (so the desktop keeps it
// above and moves them together), a preview shows in the web engine, and
// 閉じる ends it. After each window, a key typed on the X server reaches the
// control that had the focus before.

#include "app/main_window.h"
#include "support/recording_desktop.h"
#include "support/in_process_preview.h"
#include "ui/preview_guest/preview_module.h"
#include "support/ui_test_support.h"
#include "core/generate/popup_page.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace zelmora;

namespace {

// The message after a set is read as the program shows it: a box over the picker.
struct BoxedDesktop : test::RecordingDesktop {
    void information(const QString &text) override
    {
        RecordingDesktop::information(text);
        test::messageBoxes().information(text);
    }
};

} // namespace

TEST(Platform, windowsShowTransientForTheMainWindowAndCloseClean)
{
    ASSERT_EQ(QGuiApplication::platformName(), qEnvironmentVariable("QT_QPA_PLATFORM"));
    QTemporaryDir dir;
    BoxedDesktop desktop;
    MainWindow window(desktop, initPortablePaths(dir.path()));
    PopupPage page{QStringLiteral("abc"), 1, QStringLiteral(".htm")};
    page.text = QStringLiteral("一行目");
    ASSERT_FALSE(writePopupPage(window.paths().outputFolder, page));
    window.setTitle(QStringLiteral("abc"));
    window.findChild<QAbstractButton *>(QStringLiteral("Option1_1"))->click();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window, 20000));
    auto *title = test::child<QLineEdit>(&window, QStringLiteral("t_Text"));
    title->setFocus();
    // On X11 a key from the X server once the window has it, as a user's.
    const bool x11 = QGuiApplication::platformName() == u"xcb";
    const auto xKey = [](const char *key) { QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(key)}); };
    // Qt may call a window active before the window manager has given it
    // the X focus, where a key goes.
    const auto xFocus = [] {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")});
        return xdotool.waitForFinished() ? xdotool.readAllStandardOutput().trimmed().toULongLong() : 0;
    };
    const auto pressEnter = [&](QWidget *target) {
        if (!x11)
            return QTest::keyClick(target, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return xFocus() == target->window()->winId(); }, 20000));
        xKey("Return");
    };
    // The message over the picker, once the set is read.
    QTimer boxes;
    QObject::connect(&boxes, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); box && box->isVisible()) {
            boxes.stop();
            pressEnter(box);
        }
    });

    // The colour dialog while the background is a colour, the picker after;
    // "reopen": the set picked by Enter, and Enter on the message over it;
    // three times, as the window manager loses the focus only in some.
    for (const char *button : {"SelColor_BK", "Sel_FleName", "Option_btn", "Command2", "OpenFiles_BK", "reopen", "reopen", "reopen"}) {
        SCOPED_TRACE(button);
        const bool reopen = button == std::string("reopen");
        if (button == std::string("OpenFiles_BK"))
            test::child<QAbstractButton>(&window, QStringLiteral("Option0_1"))->click();
        int shown = 0;
        test::onNextModal([&](QWidget *modal) {
            shown += QTest::qWaitForWindowExposed(modal, 20000);
            EXPECT_EQ(modal->windowHandle()->transientParent(), window.windowHandle()) << modal->objectName().toStdString();
            if (auto *page = modal->findChild<QWidget *>(QStringLiteral("WebBrowser1")))
                EXPECT_TRUE(QTest::qWaitFor([page] { return page->property("title").toString() == u"abc_1"; }, 30000));
            if (!reopen) {
                modal->close();
                return;
            }
            auto *list = test::child<QListWidget>(modal, QStringLiteral("File1"));
            list->setCurrentRow(0);
            list->setFocus();
            boxes.start(10);
            pressEnter(list);
        });
        // The program shows the preview in its preview process, whose window
        // no window of this one can own on Wayland; here the same window and
        // engine run in this process.
        if (button == std::string("Command2"))
            test::runPreviewCommand(&window, window, window.state(), window.paths(), desktop, test::previewModule());
        else
            test::child<QAbstractButton>(&window, QString::fromLatin1(reopen ? "Sel_FleName" : button))->click();
        EXPECT_EQ(shown, 1);
        if (x11) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return xFocus() == window.winId(); }, 10000)) << "no window has the focus";
            xKey("x");
            EXPECT_TRUE(QTest::qWaitFor([title] { return title->text() == u"abcx"; }, 10000)) << "the key went elsewhere";
            title->setText(QStringLiteral("abc"));
        }
    }
    EXPECT_EQ(window.pageSet().page(1).text, QStringLiteral("一行目"));
    test::child<QAbstractButton>(&window, QStringLiteral("Command3"))->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(desktop.calls.size(), 3); // the message of each reopen
    for (const auto &call : desktop.calls)
        EXPECT_EQ(call.kind, test::RecordingDesktop::Call::Information);
}
