// Preloaded (LD_PRELOAD) into the preview process by bench_preview_run: each
// time the preview window shows, it waits for the page to be painted in its
// colour (ZELMORA_BENCH_COLOUR, checked at the top left corner), appends
// the moment (CLOCK_MONOTONIC, nanoseconds, shared by every process) and the
// colour seen to the file in ZELMORA_BENCH_PAINTED, and
// closes the window as a user would.

#include "page_paint_watch.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QImage>
#include <QTimer>

#include <ctime>

namespace {

class PaintReport : public QObject {
public:
    explicit PaintReport(QString file) : m_file(std::move(file))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || watched->objectName() != QLatin1String("Form3"))
            return false;
        auto *window = qobject_cast<QDialog *>(watched);
        QWidget *view
            = window ? window->findChild<QWidget *>(QStringLiteral("WebBrowser1")) : nullptr;
        if (!view)
            return false;
        m_watch.watch(view);
        m_watch.arm([this, window, view] { noteWhenShown(window, view, 0); });
        return false;
    }

private:
    // The first frame after the load can still be the blank page; the moment
    // counted is the first grab that shows the page's own colour.
    void noteWhenShown(QDialog *window, QWidget *view, int tries)
    {
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const QColor colour = view->grab().toImage().pixelColor(3, 3);
        if (colour != QColor(qEnvironmentVariable("ZELMORA_BENCH_COLOUR")) && tries < 500) {
            QTimer::singleShot(10, this, [=] { noteWhenShown(window, view, tries + 1); });
            return;
        }
        QFile out(m_file);
        if (out.open(QIODevice::WriteOnly | QIODevice::Append))
            out.write(QByteArray::number(qint64(now.tv_sec) * 1000000000 + now.tv_nsec) + ' '
                      + colour.name().toLatin1() + '\n');
        out.close();
        window->close();
    }

    QString m_file;
    zelmora::bench::PagePaintWatch m_watch;
};

void start()
{
    if (!QCoreApplication::arguments().contains(QStringLiteral("--preview-guest")))
        return;
    qunsetenv("LD_PRELOAD"); // not into the engine's own processes
    if (const QString file = qEnvironmentVariable("ZELMORA_BENCH_PAINTED"); !file.isEmpty())
        new PaintReport(file);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
