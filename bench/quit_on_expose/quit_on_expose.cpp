// A generic plugin, loaded into any Qt program through
// QT_QPA_GENERIC_PLUGINS=quitonexpose, that ends the program once its first
// window has been exposed and painted. Start-up is then timed the same way
// for the program and for its floor, without changing either. The process
// ends with _exit, so the time and peak memory are those of start-up alone,
// not of tearing the application down.
//
// With QUIT_ON_EXPOSE_GRAB=<file.png> it first saves the window's pixels as
// the display server holds them, that is the first paint exactly, so that two
// builds' first paints can be compared pixel for pixel. With
// QUIT_ON_EXPOSE_SMAPS=<file> it copies /proc/self/smaps there, to see which
// mappings the first paint made resident.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QEvent>
#include <QFile>
#include <QGenericPlugin>
#include <QMetaObject>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

namespace {

class QuitOnFirstExpose : public QObject {
public:
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Expose) {
            auto *window = qobject_cast<QWindow *>(watched);
            if (window && window->isExposed()) {
                m_seen = true;
                // Queued, so the window first handles this expose: a widget
                // window paints and flushes its backing store right there.
                // sync() waits until the display server has taken the picture.
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [shown = QPointer<QWindow>(window)] {
                        QGuiApplication::sync();
                        const QString grab = qEnvironmentVariable("QUIT_ON_EXPOSE_GRAB");
                        if (!grab.isEmpty() && shown && shown->screen()
                            && !shown->screen()->grabWindow(shown->winId()).save(grab))
                            std::fprintf(stderr, "quitonexpose: cannot save %s\n",
                                         qPrintable(grab));
                        const QByteArray maps = qgetenv("QUIT_ON_EXPOSE_SMAPS");
                        if (!maps.isEmpty()) {
                            QFile in(QStringLiteral("/proc/self/smaps"));
                            QFile out(QString::fromLocal8Bit(maps));
                            if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
                                out.write(in.readAll());
                        }
                        std::fflush(nullptr);
                        ::_exit(0);
                    },
                    Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    bool m_seen = false;
};

} // namespace

class QuitOnExposePlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "quit_on_expose.json")
public:
    QObject *create(const QString &key, const QString &) override
    {
        if (key.compare(QLatin1String("quitonexpose"), Qt::CaseInsensitive) != 0)
            return nullptr;
        // Generic plugins are made while the application object is built, so
        // the filter sees the very first expose. The application deletes the
        // objects its generic plugins made, so the filter has no parent.
        auto *filter = new QuitOnFirstExpose;
        QCoreApplication::instance()->installEventFilter(filter);
        return filter;
    }
};

#include "quit_on_expose.moc"
