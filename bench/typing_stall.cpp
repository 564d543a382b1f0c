// Types 200 characters into the title of the main window, ten milliseconds
// apart, with the draft saved after each (as after a pause in typing), while
// every fdatasync of the process takes <delay> milliseconds more, as on a
// slow stick. Prints the longest time the event loop went without turning,
// in microseconds: the longest the window could not answer the user.

#include "app/draft_keeper.h"
#include "app/main_window.h"
#include "ui/kit/message_box_desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <dlfcn.h>
#include <unistd.h>

namespace {
std::atomic<int> syncDelayMs{0};
}

// The program's own fdatasync calls land here first.
extern "C" int fdatasync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"));
    std::this_thread::sleep_for(std::chrono::milliseconds(syncDelayMs.load()));
    return real(fd);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <fdatasync delay in ms>\n", argv[0]);
        return 2;
    }
    QTemporaryDir program;
    zelmora::MessageBoxDesktop desktop(nullptr);
    zelmora::MainWindow window(desktop, zelmora::initPortablePaths(program.path()));
    window.show();
    auto *title = window.findChild<QLineEdit *>(QStringLiteral("t_Text"));
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
    }
    syncDelayMs = std::atoi(argv[1]);

    // A tick every millisecond; the longest gap between two is the longest stall.
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    clock.start();
    tick.start();
    for (int i = 0; i < 200; ++i) {
        QTest::keyClick(title, char('a' + i % 26));
        window.draft().saveNow();
        QTest::qWait(10);
    }
    tick.stop();
    if (title->text().size() != 200) {
        std::fprintf(stderr, "typed %lld characters of 200\n", qlonglong(title->text().size()));
        return 1;
    }
    window.draft().saveAndWait();
    std::printf("%lld\n", longest / 1000);
    std::fflush(nullptr);
    ::_exit(0);
}
