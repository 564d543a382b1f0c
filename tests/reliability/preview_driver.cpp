// A user at the real program, preloaded into it (LD_PRELOAD) by the preview
// process tests: it opens a set from the output folder with 開く, presses
// プレビュー, waits for the page, optionally clicks into it, closes the preview
// and then the program, and writes what it saw into a report file, one
// "key: value" line at a time, flushed as it goes so a crash leaves the lines
// written before it.
//
// The driver links only Qt's widgets, never the web engine: the program
// loads the engine itself, as it does for a user. It reads the browser
// through Qt's meta-object system (title, loadFinished) and records every URL
// handed to the desktop instead of opening it.
//
// ZELMORA_DRIVE_REPORT  the report file; without it the driver does nothing
// ZELMORA_DRIVE_OPEN    the file name to click in the set picker
// ZELMORA_DRIVE_COLOUR  the colour the page is drawn in ("#ff0000"), awaited
// ZELMORA_DRIVE_SCREENSHOT  a PNG of the preview window once the page is drawn
// ZELMORA_DRIVE_CLICKS  "x,y;x,y": clicks into the browser after the page loaded;
//                       the driver then waits for the first URL the desktop gets
//                       (ZELMORA_DRIVE_URLS of them, when given) and for
//                       ZELMORA_DRIVE_MESSAGES message boxes after the clicks

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>

#include <unistd.h>

namespace {

class Driver : public QObject {
    Q_OBJECT
public:
    explicit Driver(const QString &reportPath) : m_report(reportPath)
    {
        m_report.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const char *scheme : {"http", "https", "mailto", "file", "ftp", "data", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openUrl");
        m_clicks = qEnvironmentVariable("ZELMORA_DRIVE_CLICKS").split(u';', Qt::SkipEmptyParts);
        connect(&m_tick, &QTimer::timeout, this, &Driver::step);
        m_tick.start(50);
        // A bound for a run that hangs; the test reads the stage it stopped at.
        QTimer::singleShot(120000, this, [this] {
            write("timeout", m_stage);
            m_report.close();
            ::_exit(3);
        });
    }

public Q_SLOTS:
    void openUrl(const QUrl &url)
    {
        ++m_urls;
        write("url", url.toString(QUrl::FullyEncoded));
    }
    void loadFinished(bool ok)
    {
        // Only the browser's own load: a navigation the page asks for and
        // the preview refuses ends as a failed load too.
        if (m_loaded)
            return;
        write("loaded", ok ? QStringLiteral("ok") : QStringLiteral("failed"));
        m_loaded = true;
    }

private:
    void write(const char *key, const QString &value)
    {
        QString line = value;
        line.replace(u'\n', QStringLiteral("\\n"));
        m_report.write(QByteArray(key) + ": " + line.toUtf8() + '\n');
        m_report.flush();
    }

    template<typename T>
    static T *find(const QString &name)
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->objectName() == name && w->isVisible())
                return qobject_cast<T *>(w);
            if (T *child = w->findChild<T *>(name); child && child->window()->isVisible())
                return child;
        }
        return nullptr;
    }

    // A click that may open a modal window runs from the event loop, not
    // from step(): Qt does not fire a timer again while its slot runs.
    void later(std::function<void()> action) { QTimer::singleShot(0, this, std::move(action)); }

    // Every message box is read and closed, whatever the stage.
    bool closeMessageBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return false;
        write("message", box->text());
        ++m_messages;
        if (const QString shot = qEnvironmentVariable("ZELMORA_DRIVE_SCREENSHOT"); !shot.isEmpty())
            box->grab().save(shot + QStringLiteral(".message%1.png").arg(++m_boxes));
        box->done(QMessageBox::Ok); // ends the box's own loop; never blocks
        return true;
    }

    void step()
    {
        if (closeMessageBox())
            return;
        QWidget *modal = QApplication::activeModalWidget();
        if (m_stage == QLatin1String("start")) {
            if (auto *open = find<QAbstractButton>(QStringLiteral("Sel_FleName"))) {
                m_stage = QStringLiteral("picker");
                later([open] { open->click(); });
            }
        } else if (m_stage == QLatin1String("picker")) {
            auto *list = find<QListWidget>(QStringLiteral("File1"));
            if (!list)
                return;
            const auto items = list->findItems(qEnvironmentVariable("ZELMORA_DRIVE_OPEN"), Qt::MatchExactly);
            if (items.isEmpty()) {
                write("error", QStringLiteral("not in the set picker"));
                return;
            }
            m_stage = QStringLiteral("opened");
            const QPoint at = list->visualItemRect(items.first()).center();
            later([list, at] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); });
        } else if (m_stage == QLatin1String("opened")) {
            if (modal)
                return;
            m_stage = QStringLiteral("preview");
            write("editor", find<QLineEdit>(QStringLiteral("t_Text"))->text());
            later([this] {
                find<QAbstractButton>(QStringLiteral("Command2"))->click();
                // Back in the main window: the preview has closed, or never opened.
                write("after", find<QLineEdit>(QStringLiteral("t_Text"))->text() + u'|'
                                   + find<QPlainTextEdit>(QStringLiteral("Text1"))->toPlainText());
                m_stage = QStringLiteral("quit");
                find<QWidget>(QStringLiteral("Form1"))->close();
            });
        } else if (m_stage == QLatin1String("preview")) {
            auto *form3 = qobject_cast<QDialog *>(modal);
            if (!form3 || form3->objectName() != QLatin1String("Form3"))
                return;
            m_form3 = form3;
            m_view = form3->findChild<QWidget *>(QStringLiteral("WebBrowser1"));
            write("preview", QStringLiteral("shown"));
            connect(m_view, SIGNAL(loadFinished(bool)), this, SLOT(loadFinished(bool)));
            m_stage = QStringLiteral("loading");
        } else if (m_stage == QLatin1String("loading")) {
            if (!m_loaded)
                return;
            write("title", m_view->property("title").toString());
            m_stage = QStringLiteral("painting");
        } else if (m_stage == QLatin1String("painting")) {
            // The colour near the page's lower right corner, where the pages
            // have no text, once the engine has drawn the expected one (or
            // after a few seconds, whatever it shows then).
            const QImage image = m_view->grab().toImage();
            const QColor colour = image.pixelColor(image.width() - 20, image.height() - 20);
            if (colour.name() != qEnvironmentVariable("ZELMORA_DRIVE_COLOUR") && ++m_paints < 100)
                return;
            write("colour", colour.name());
            if (const QString shot = qEnvironmentVariable("ZELMORA_DRIVE_SCREENSHOT"); !shot.isEmpty())
                m_form3->grab().save(shot);
            QWidget *input = m_view->focusProxy() ? m_view->focusProxy() : m_view;
            for (const QString &click : m_clicks) {
                const QStringList xy = click.split(u',');
                QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(xy.value(0).toInt(), xy.value(1).toInt()));
            }
            m_stage = m_clicks.isEmpty() ? QStringLiteral("close") : QStringLiteral("clicked");
            m_messages = 0;
        } else if (m_stage == QLatin1String("clicked")) {
            if (m_urls >= std::max(1, qEnvironmentVariableIntValue("ZELMORA_DRIVE_URLS"))
                && m_messages >= qEnvironmentVariableIntValue("ZELMORA_DRIVE_MESSAGES"))
                m_stage = QStringLiteral("close");
        } else if (m_stage == QLatin1String("close")) {
            m_stage = QStringLiteral("closing");
            // Form3's own 閉じる: the main window's Command1 is 作成.
            auto *close = m_form3->findChild<QAbstractButton *>(QStringLiteral("Command1"),
                                                                Qt::FindDirectChildrenOnly);
            later([close] { close->click(); });
        }
    }

    QFile m_report;
    QTimer m_tick;
    QString m_stage = QStringLiteral("start");
    QStringList m_clicks;
    QWidget *m_view = nullptr;
    bool m_loaded = false;
    QWidget *m_form3 = nullptr;
    int m_paints = 0;
    int m_urls = 0;
    int m_boxes = 0;
    int m_messages = 0;
};

void startDriver()
{
    // The engine's helper processes inherit the environment; the driver
    // belongs to the program alone.
    qunsetenv("LD_PRELOAD");
    const QString report = qEnvironmentVariable("ZELMORA_DRIVE_REPORT");
    if (!report.isEmpty() && qobject_cast<QApplication *>(QCoreApplication::instance()))
        new Driver(report); // lives as long as the program
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)

#include "preview_driver.moc"
