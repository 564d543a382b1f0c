// The program's preview road, timed from the command to the first painted
// page: the first preview of a run (which loads the web engine module) and
// a second one of the same run. Prints both in nanoseconds.
//
// With --warm, the web engine is started in the background once the main
// window has painted (a hidden browser loads a blank page), as while the
// user types; with --idle, nothing is started. Either way the run then waits
// as long as the user would type (--idle-ms, 3000 by default) and prints a
// third figure: the proportional resident memory of the program and all its
// child processes (the engine's) in KiB just before the first preview.

#include "support/sample_sets.h"
#include "page_paint_watch.h"
#include "wait_for.h"

#include "app/main_window.h"
#include "ui/preview/preview_command.h"
#include "support/recording_desktop.h"

#include "ui/preview/preview_browser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// Proportional resident KiB (shared pages split among their users, so the
// engine's processes do not count its library several times) of a process
// and, recursively, of its children.
long treeResidentKiB(int pid)
{
    long kib = 0;
    QFile status(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("Pss:"))
                kib += line.mid(4).trimmed().split(' ').value(0).toLong();
        }
    }
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(pid));
    if (children.open(QIODevice::ReadOnly)) {
        for (const QByteArray &child : children.readAll().split(' ')) {
            if (!child.trimmed().isEmpty())
                kib += treeResidentKiB(child.trimmed().toInt());
        }
    }
    return kib;
}

// Hooks the watch onto the preview window's browser as soon as the window
// is shown, which is inside the command's modal loop.
class PreviewWindowSpy : public QObject {
public:
    explicit PreviewWindowSpy(zelmora::bench::PagePaintWatch &watch) : m_watch(watch)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    QDialog *window = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->objectName() == QLatin1String("Form3")) {
            window = qobject_cast<QDialog *>(watched);
            auto *view = window->findChild<QWidget *>(QStringLiteral("WebBrowser1"));
            if (!view)
                std::abort();
            m_watch.watch(view);
        }
        return false;
    }

private:
    zelmora::bench::PagePaintWatch &m_watch;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir programFolder;
    zelmora::test::RecordingDesktop desktop;
    zelmora::MainWindow window(desktop, programFolder.path());
    window.showPageSet(zelmora::test::sixPageSet(QStringLiteral("お店の案内")));
    window.show();
    zelmora::bench::waitFor(
        [&] { return window.windowHandle() && window.windowHandle()->isExposed(); });

    const QStringList args = QCoreApplication::arguments();
    const bool warm = args.contains(QStringLiteral("--warm"));
    const bool idle = args.contains(QStringLiteral("--idle"));
    const qsizetype idleAt = args.indexOf(QStringLiteral("--idle-ms"));
    const int idleMs = idleAt > 0 && idleAt + 1 < args.size() ? args[idleAt + 1].toInt() : 3000;
    QWidget warmHolder;
    if (warm) {
        const QString blank = QDir(programFolder.path()).filePath(QStringLiteral("blank.htm"));
        QFile page(blank);
        if (!page.open(QIODevice::WriteOnly) || page.write("<html><body></body></html>") < 0)
            return 1;
        page.close();
        zelmora::PreviewBrowserFactory *factory = zelmora::loadPreviewModule(nullptr);
        if (!factory)
            return 1;
        factory->createBrowser(&warmHolder)->navigate(blank);
    }
    long idleKiB = 0;
    if (warm || idle) {
        bool typed = false;
        QTimer::singleShot(idleMs, [&] { typed = true; });
        zelmora::bench::waitFor([&] { return typed; });
        idleKiB = treeResidentKiB(int(::getpid()));
    }

    zelmora::bench::PagePaintWatch watch;
    PreviewWindowSpy spy(watch);
    qint64 elapsed[2] = {0, 0};
    for (qint64 &ns : elapsed) {
        QElapsedTimer timer;
        bool painted = false;
        watch.arm([&] {
            ns = timer.nsecsElapsed();
            // After the clock: the page on screen is the set's, with its
            // background colour.
            const QImage shown
                = spy.window->findChild<QWidget *>(QStringLiteral("WebBrowser1"))->grab().toImage();
            painted = shown.pixelColor(3, 3) == QColor(QStringLiteral("#ffcc00"));
            spy.window->close(); // ends the command's modal loop
        });
        timer.start();
        zelmora::runPreviewCommand(&window, window, window.state(), window.paths(), desktop);
        if (!painted || !desktop.calls.isEmpty()) {
            std::fprintf(stderr, "the preview did not show its page\n");
            return 1;
        }
    }
    if (warm || idle)
        std::printf("%lld %lld %ld\n", elapsed[0], elapsed[1], idleKiB);
    else
        std::printf("%lld %lld\n", elapsed[0], elapsed[1]);
    std::fflush(nullptr);
    ::_exit(0); // the engine's teardown is not part of what is measured
}
