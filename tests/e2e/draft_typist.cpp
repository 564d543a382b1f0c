// Started by draft_test as the program is started: types a set into the real
// main window, drops a picture from outside on two 参照 buttons, and says
// READY once the draft on disk holds exactly what the window shows. The test
// then kills it with SIGKILL, or first sends "create" to have 作成 pressed.
#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "core/files/draft_file.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box_desktop.h"
#include "support/ui_test_support.h"

#include <QApplication>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace zelmora;

static void dropOn(QWidget *window, const QString &button, const QString &file)
{
    auto *target = window->findChild<QPushButton *>(button);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDropEvent drop(QPointF(target->mapTo(window, target->rect().center())), Qt::CopyAction, &mime,
                    Qt::LeftButton, Qt::NoModifier);
    // Straight to the window's handler: without a platform drag in progress
    // QApplication drops a synthetic drop event.
    static_cast<QObject *>(window)->event(&drop);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const QString title = argc > 3 && argv[3][0] ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("春の記録 it");
    // "more": after READY, one more keystroke that SIGTERM must not lose.
    const bool more = argc > 4 && std::strcmp(argv[4], "more") == 0;
    DraftKeeper::quitNormallyOnTermination();
    MessageBoxDesktop desktop(nullptr);
    MainWindow window(desktop, initPortablePaths(QString::fromLocal8Bit(argv[1])));
    window.show();
    QTimer::singleShot(0, [] { // runs inside the question's loop, if one is asked
        if (QWidget *box = QApplication::activeModalWidget())
            std::puts("ASKED"), box->close();
    });
    window.draft().offerRestore();
    const QString picture = QString::fromLocal8Bit(argv[2]);

    auto click = [&](const char *name) {
        auto *option = window.findChild<QRadioButton *>(QLatin1StringView(name));
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
    };
    test::typeText(window.findChild<QWidget *>(QStringLiteral("t_Text")), title);
    click("Option1_1");
    auto *text = window.findChild<QWidget *>(QStringLiteral("Text1"));
    test::typeText(text, QStringLiteral("一行目"));
    QTest::keyClick(text, Qt::Key_Return);
    test::typeText(text, QStringLiteral("二行目"));
    window.findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
    click("Option2_2");
    dropOn(&window, QStringLiteral("OpenFiles_2p"), picture);
    click("Option0_1");
    dropOn(&window, QStringLiteral("OpenFiles_BK"), picture);
    auto *alt = window.findChild<QWidget *>(QStringLiteral("p_Text2"));
    if (!QTest::qWaitFor([alt] { return alt->property("text").toString() == QStringLiteral("cat.png"); },
                         20000))
        return 1;
    QTest::keyClick(alt, Qt::Key_End);
    test::typeText(alt, QStringLiteral("猫"));

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QFile file(window.draft().path());
        if (file.open(QIODevice::ReadOnly) && parseDraft(file.readAll()) == window.pageSet()) {
            std::puts("READY");
            poll.stop();
            if (more) {
                test::typeText(window.findChild<QWidget *>(QStringLiteral("t_Text")), QStringLiteral("!"));
                std::puts("TYPED");
            }
            std::fflush(stdout);
        }
    });
    poll.start(50);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[8] = {};
        input.setEnabled(::read(STDIN_FILENO, line, 7) > 0);
        if (std::strncmp(line, "create", 6) == 0) {
            const auto close = [](QWidget *box) { box->close(); };
            test::onNextModal([&](QWidget *box) { close(box), test::onNextModal(close); }); // pages, data page
            window.findChild<QPushButton *>(QStringLiteral("Command1"))->click();
            // The draft is removed on the draft's own thread; CREATED means
            // that is done too, so that a kill after it finds no draft.
            window.draft().saveAndWait();
            std::puts("CREATED"), std::fflush(stdout);
        }
    });
    return app.exec();
}
