// The program's preview road, timed from the command to the first painted
// page: the first preview of a run (which loads the web engine module) and
// a second one of the same run. Prints both in nanoseconds.

#include "bench_set.h"
#include "page_paint_watch.h"
#include "wait_for.h"

#include "app/main_window.h"
#include "preview/preview_command.h"
#include "support/recording_desktop.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

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
    window.showPageSet(zelmora::bench::sixPageSet(QStringLiteral("お店の案内")));
    window.show();
    zelmora::bench::waitFor([&] { return window.windowHandle() && window.windowHandle()->isExposed(); });

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
            const QImage shown =
                spy.window->findChild<QWidget *>(QStringLiteral("WebBrowser1"))->grab().toImage();
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
    std::printf("%lld %lld\n", elapsed[0], elapsed[1]);
    std::fflush(nullptr);
    ::_exit(0); // the engine's teardown is not part of what is measured
}
