// The program's preview road, timed from the command to the first painted
// page: the first preview of a run (which starts the preview process) and a
// second one of the same run, within the process's warm period. Then waits
// until the preview process has ended by itself and 5 s more, and compares
// the program's resident memory with its memory before the first preview.
//
// Prints: first ns, second ns, resident KiB before the first preview,
// resident KiB 5 s after the preview process ended, and the warm period
// seen (ms from the second preview's close to the process's end).
//
// The page is painted in the preview process, where bench_preview_paint
// (preloaded into it) notes the moment on the clock all processes share.
//
// With --cold N it shows N previews instead, each in a fresh preview
// process, and prints one line each: the milliseconds from the command to
// the painted page, "blank" when the page was not painted in its colour
// within the paint watcher's 5 s, or "message: …" when the program reported
// a failure, and how long ending the warm preview process took (as when
// the program quits); then the counts. Run it under Xvfb, with and without
// QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu, to see how often a first preview
// stays blank.

#include "support/sample_sets.h"
#include "wait_for.h"

#include "app/main_window.h"
#include "ui/preview/preview_client.h"
#include <QPushButton>
#include "support/recording_desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

qint64 monotonicNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return 0;
}

bool hasChildren()
{
    QFile children(QStringLiteral("/proc/self/task/%1/children").arg(::getpid()));
    return children.open(QIODevice::ReadOnly) && !children.readAll().trimmed().isEmpty();
}

void pause(int ms)
{
    bool done = false;
    QTimer::singleShot(ms, [&] { done = true; });
    zelmora::bench::waitFor([&] { return done; });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir programFolder;
    zelmora::test::RecordingDesktop desktop;
    zelmora::MainWindow window(desktop, zelmora::initPortablePaths(programFolder.path()));
    window.showPageSet(zelmora::test::sixPageSet(QStringLiteral("お店の案内")));
    window.show();
    zelmora::bench::waitFor(
        [&] { return window.windowHandle() && window.windowHandle()->isExposed(); });
    pause(500); // the window settles, as before a user's first preview
    const long beforeKiB = residentKiB();

    // Inherited by the preview process only: this process has started.
    const QString painted = programFolder.filePath(QStringLiteral("painted.txt"));
    qputenv("LD_PRELOAD",
            QFile::encodeName(QCoreApplication::applicationDirPath()
                              + QStringLiteral("/bench_preview_paint.so")));
    qputenv("ZELMORA_BENCH_PAINTED", QFile::encodeName(painted));
    qputenv("ZELMORA_BENCH_COLOUR", "#ffcc00"); // the set's first page

    if (argc == 3 && QByteArray(argv[1]) == "--cold") {
        const int runs = QByteArray(argv[2]).toInt();
        int onTime = 0, blank = 0, failed = 0;
        for (int k = 0; k < runs; ++k) {
            QFile::remove(painted);
            desktop.calls.clear();
            const qint64 start = monotonicNs();
            window.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
            // The next preview starts a fresh preview process. Ending the
            // warm one is what quitting the program waits for.
            QElapsedTimer ending;
            ending.start();
            delete window.findChild<zelmora::PreviewClient *>();
            const qint64 endedMs = ending.elapsed();
            QFile report(painted);
            const QList<QByteArray> fields = report.open(QIODevice::ReadOnly)
                ? report.readAll().trimmed().split(' ')
                : QList<QByteArray>();
            if (!desktop.calls.isEmpty()) {
                ++failed;
                std::printf("%d message: %s\n", k + 1, qPrintable(desktop.calls.first().text));
            } else if (fields.value(1) != "#ffcc00") {
                ++blank;
                std::printf("%d blank (%s)\n", k + 1, fields.value(1).constData());
            } else {
                ++onTime;
                std::printf("%d %lld ms, the warm process ended in %lld ms\n", k + 1,
                            (fields[0].toLongLong() - start) / 1000000, endedMs);
            }
            std::fflush(stdout);
        }
        std::printf("painted %d, blank %d, reported %d, of %d\n", onTime, blank, failed, runs);
        return blank == 0 && onTime + failed == runs ? 0 : 1;
    }

    qint64 elapsed[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const qint64 start = monotonicNs();
        window.findChild<QPushButton *>(QStringLiteral("Command2"))->click();
        QFile report(painted);
        const QList<QByteArray> lines = report.open(QIODevice::ReadOnly)
            ? report.readAll().trimmed().split('\n')
            : QList<QByteArray>();
        const QList<QByteArray> fields = lines.value(k).split(' ');
        // The page on screen is the set's, with its background colour.
        if (lines.size() != k + 1 || fields.value(1) != "#ffcc00" || !desktop.calls.isEmpty()) {
            std::fprintf(stderr, "preview %d did not show its page: painted \"%s\", %d messages\n",
                         k + 1, lines.join(';').constData(), int(desktop.calls.size()));
            for (const auto &call : desktop.calls)
                std::fprintf(stderr, "message: %s\n", qPrintable(call.text));
            return 1;
        }
        elapsed[k] = fields[0].toLongLong() - start;
    }
    QElapsedTimer warm;
    warm.start();
    zelmora::bench::waitFor([] {
        if (!hasChildren())
            return true;
        pause(50);
        return false;
    });
    const qint64 warmMs = warm.elapsed();
    pause(5000);
    std::printf("%lld %lld %ld %ld %lld\n", elapsed[0], elapsed[1], beforeKiB, residentKiB(),
                warmMs);
    return 0;
}
