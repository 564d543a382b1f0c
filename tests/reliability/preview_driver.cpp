// A user at the real program, preloaded into it (LD_PRELOAD) by the preview
// process tests: it opens a set from the output folder with 開く, presses
// プレビュー, waits for the page, optionally clicks into it, closes the preview
// and then the program, and writes what it saw into a report file, one
// "key: value" line at a time, flushed as it goes so a crash leaves the lines
// written before it.
//
// The preview window lives in the preview process, which inherits the
// driver: there the driver does the preview's part (the page, the clicks,
// the closing) and appends to the same report. While the window shows, the
// program's driver tries to type into the main window; the preview's driver
// goes on only once that has been reported, so the lines come in one order.
//
// The driver links only Qt's widgets, never the web engine: the preview
// process loads the engine itself, as it does for a user. It reads the browser
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
// ZELMORA_DRIVE_STEPS   "frd,bak": arrow buttons pressed after the first page, each
//                       followed by the heading shown
// ZELMORA_DRIVE_ROUNDS  "button,escape,closebox": one preview per entry, closed that
//                       way; "kill" kills the preview process, "crashpage" its page
//                       process, "sigterm" and "sigint" send that to the program;
//                       "stop" stops the preview process once its page shows
//                       ("stopbefore": at its start), and the program presses its
//                       close box ("stopkill": the program is killed instead)
//                       (default "button")
// ZELMORA_DRIVE_HOLD    a file name: after each page the preview shows, the driver
//                       writes "hold: <title>" and goes on once that file exists
//                       (and removes it), so that another program can read the window
// ZELMORA_DRIVE_TITLE   the title typed over the opened set's before プレビュー
// ZELMORA_DRIVE_UNSTARTABLE  the program file loses its execute bits before プレビュー

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <functional>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>

namespace {

// Whether the X server holds the window as the window manager reads it:
// transient for parent (WM_TRANSIENT_FOR) and modal (_NET_WM_STATE_MODAL).
bool xShowsModalOver(WId window, WId parent)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                          QStringLiteral("WM_TRANSIENT_FOR"), QStringLiteral("_NET_WM_STATE")});
    const QString seen = xprop.waitForFinished(10000) ? QString::fromLatin1(xprop.readAllStandardOutput()) : QString();
    return seen.contains(QStringLiteral("WM_TRANSIENT_FOR(WINDOW): window id # 0x%1\n").arg(parent, 0, 16))
        && seen.contains(QStringLiteral("_NET_WM_STATE_MODAL"));
}

bool inPreviewProcess() { return QCoreApplication::arguments().contains(QStringLiteral("--preview-guest")); }

class Driver : public QObject {
    Q_OBJECT
public:
    explicit Driver(const QString &reportPath) : m_report(reportPath), m_guest(inPreviewProcess())
    {
        // Both processes append to one report; the program starts it afresh.
        if (!m_guest && m_report.open(QIODevice::WriteOnly | QIODevice::Truncate))
            m_report.close();
        m_report.open(QIODevice::WriteOnly | QIODevice::Append);
        for (const char *scheme : {"http", "https", "mailto", "file", "ftp", "data", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openUrl");
        m_clicks = qEnvironmentVariable("ZELMORA_DRIVE_CLICKS").split(u';', Qt::SkipEmptyParts);
        m_steps = qEnvironmentVariable("ZELMORA_DRIVE_STEPS").split(u',', Qt::SkipEmptyParts);
        m_rounds = qEnvironmentVariable("ZELMORA_DRIVE_ROUNDS", QStringLiteral("button")).split(u',');
        m_stage = m_guest ? QStringLiteral("wait") : QStringLiteral("start");
        if (m_guest) {
            // The test looks for this process after the program has ended.
            QFile pid(reportPath + QStringLiteral(".guest"));
            if (pid.open(QIODevice::WriteOnly))
                pid.write(QByteArray::number(::getpid()));
            pid.close();
            if (m_rounds.value(0) == QLatin1String("stopbefore"))
                stop();
        }
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
        if (m_loaded.isEmpty())
            m_loaded = ok ? QStringLiteral("ok") : QStringLiteral("failed");
    }

private:
    void write(const char *key, const QString &value)
    {
        QString line = value;
        line.replace(u'\n', QStringLiteral("\\n"));
        m_report.write(QByteArray(key) + ": " + line.toUtf8() + '\n');
        m_report.flush();
    }
    // Whether a line starting so is in the report (never its first line).
    bool reported(const QString &start)
    {
        QFile report(m_report.fileName());
        return report.open(QIODevice::ReadOnly) && QString::fromUtf8(report.readAll()).contains(u'\n' + start);
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
        if (m_closeBox.isValid()) {
            // The close box pressed over a stopped preview brings the main window back.
            const bool back = find<QWidget>(QStringLiteral("Form1"))->isEnabled() && m_closeBox.elapsed() < 2000;
            write("back", back ? QStringLiteral("within 2 s") : QStringLiteral("late or never"));
            m_closeBox.invalidate();
        }
        write("message", box->text());
        ++m_messages;
        if (const QString shot = qEnvironmentVariable("ZELMORA_DRIVE_SCREENSHOT"); !shot.isEmpty())
            box->grab().save(shot + QStringLiteral(".message%1.png").arg(++m_boxes));
        box->done(QMessageBox::Ok); // ends the box's own loop; never blocks
        return true;
    }

    QString editorText() const
    {
        return find<QLineEdit>(QStringLiteral("t_Text"))->text() + u'|'
            + find<QPlainTextEdit>(QStringLiteral("Text1"))->toPlainText();
    }

    void step()
    {
        if (closeMessageBox())
            return;
        if (m_guest)
            previewStep();
        else
            programStep();
    }

    void programStep()
    {
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
            if (qEnvironmentVariableIsSet("ZELMORA_DRIVE_TITLE"))
                find<QLineEdit>(QStringLiteral("t_Text"))->setText(qEnvironmentVariable("ZELMORA_DRIVE_TITLE"));
            write("editor", find<QLineEdit>(QStringLiteral("t_Text"))->text());
            // Handed down to the preview process, which places its window from it.
            const QPoint at = find<QWidget>(QStringLiteral("Form1"))->frameGeometry().topLeft();
            qputenv("ZELMORA_DRIVE_MAIN_AT", QByteArray::number(at.x()) + ',' + QByteArray::number(at.y()));
            if (qEnvironmentVariableIsSet("ZELMORA_DRIVE_UNSTARTABLE"))
                ::chmod(QFile::encodeName(QCoreApplication::applicationFilePath().remove(QStringLiteral(" (deleted)"))).constData(), 0644);
            later([this] {
                for (qsizetype round = 0; round < m_rounds.size(); ++round)
                    find<QAbstractButton>(QStringLiteral("Command2"))->click();
                // Back in the main window: the preview has closed, or never
                // opened, or the program is ending (a signal).
                m_stage = QStringLiteral("quit");
                if (auto *form1 = find<QWidget>(QStringLiteral("Form1"))) {
                    write("after", editorText());
                    form1->close();
                }
            });
        } else if (m_stage == QLatin1String("preview") && !m_pressed && reported(QStringLiteral("preview: stopping"))) {
            // The preview process has stopped itself: the user presses the
            // close box (or the program is killed).
            if (!guestStopped())
                return;
            m_pressed = true;
            const QCursor *cursor = QApplication::overrideCursor();
            write("cursor", cursor && cursor->shape() == Qt::WaitCursor ? QStringLiteral("wait") : QStringLiteral("normal"));
            if (m_rounds.contains(QStringLiteral("stopkill")))
                ::kill(::getpid(), SIGKILL);
            m_closeBox.start();
            later([] { find<QWidget>(QStringLiteral("Form1"))->close(); });
        } else if (m_stage == QLatin1String("preview") && !m_typed && reported(QStringLiteral("preview: shown"))) {
            // The preview window is up: the main window must take no input.
            m_typed = true;
            auto *form1 = find<QWidget>(QStringLiteral("Form1"));
            const QString before = editorText();
            QTest::keyClicks(find<QLineEdit>(QStringLiteral("t_Text")), QStringLiteral("x"));
            write("input", form1->isEnabled() || editorText() != before ? QStringLiteral("taken") : QStringLiteral("none"));
        }
    }

    void previewStep()
    {
        if (m_stage == QLatin1String("wait")) {
            auto *form3 = find<QDialog>(QStringLiteral("Form3"));
            if (!form3)
                return;
            m_form3 = form3;
            m_view = form3->findChild<QWidget *>(QStringLiteral("WebBrowser1"));
            if (m_round++ == 0) {
                connect(m_view, SIGNAL(loadFinished(bool)), this, SLOT(loadFinished(bool)));
                // The next preview may show the window again before a tick sees it hidden.
                connect(form3, &QDialog::finished, this, [this] {
                    m_closed = true;
                    m_loaded.clear();
                });
                // On X11 the window is transient for the program's main window.
                const QWindow *parent = form3->windowHandle() ? form3->windowHandle()->transientParent() : nullptr;
                const QStringList main = qEnvironmentVariable("ZELMORA_DRIVE_MAIN_AT").split(u',');
                const QPoint offset = form3->frameGeometry().topLeft() - QPoint(main.value(0).toInt(), main.value(1).toInt());
                const QString over = parent && xShowsModalOver(form3->winId(), parent->winId())
                    ? QStringLiteral("shown modal over the main window") : QStringLiteral("shown over the main window");
                write("preview", (parent ? over : QStringLiteral("shown"))
                                     + QStringLiteral(" at +%1+%2").arg(offset.x()).arg(offset.y()));
            } else {
                write("preview", QStringLiteral("shown again by the same process"));
            }
            m_stage = QStringLiteral("shown");
        } else if (m_stage == QLatin1String("shown")) {
            if (m_round == 1 && !reported(QStringLiteral("input: ")))
                return;
            m_stage = QStringLiteral("loading");
        } else if (m_stage == QLatin1String("loading")) {
            if (m_loaded.isEmpty())
                return;
            // The engine draws with the GPU unless told to draw in software.
            const bool gl = !qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").contains("--disable-gpu");
            write("loaded", m_loaded + (gl ? QStringLiteral(", drawn with GL") : QString()));
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
            m_paints = 0;
            write("colour", colour.name());
            if (const QString shot = qEnvironmentVariable("ZELMORA_DRIVE_SCREENSHOT"); !shot.isEmpty() && m_round == 1)
                m_form3->grab().save(shot);
            QWidget *input = m_view->focusProxy() ? m_view->focusProxy() : m_view;
            for (const QString &click : std::exchange(m_clicks, {})) {
                const QStringList xy = click.split(u',');
                QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(xy.value(0).toInt(), xy.value(1).toInt()));
                m_waitForUrl = true;
            }
            m_messages = 0;
            m_stage = QStringLiteral("steps");
        } else if (m_stage == QLatin1String("steps")) {
            // Each arrow's heading, and the page's title once the engine shows it.
            const QString heading = m_form3->findChild<QLabel *>(QStringLiteral("Label1"))->text()
                + m_form3->findChild<QLabel *>(QStringLiteral("Label2"))->text();
            if (m_stepping && m_view->property("title").toString() != heading && ++m_paints < 200)
                return;
            if (std::exchange(m_stepping, false))
                write("step", heading + QStringLiteral(" shows ") + m_view->property("title").toString());
            if (const QString hold = qEnvironmentVariable("ZELMORA_DRIVE_HOLD"); !hold.isEmpty()) {
                if (!std::exchange(m_holding, true))
                    write("hold", m_view->property("title").toString());
                if (!QFile::remove(hold))
                    return;
                m_holding = false;
            }
            m_paints = 0;
            if (m_steps.isEmpty()) {
                m_stage = QStringLiteral("close");
                return;
            }
            m_form3->findChild<QAbstractButton *>(QStringLiteral("Com_") + m_steps.takeFirst())->click();
            m_stepping = true;
        } else if (m_stage == QLatin1String("close")) {
            if (m_waitForUrl
                && (m_urls < std::max(1, qEnvironmentVariableIntValue("ZELMORA_DRIVE_URLS"))
                    || m_messages < qEnvironmentVariableIntValue("ZELMORA_DRIVE_MESSAGES")))
                return;
            close(m_rounds.value(m_round - 1));
        } else if (m_stage == QLatin1String("closing")) {
            if (!std::exchange(m_closed, false))
                return;
            m_stage = QStringLiteral("wait");
        }
    }

    // Frozen for good: stopped, and still frozen when woken, as by the
    // SIGHUP and SIGCONT the kernel sends a stopped process whose program
    // has died.
    void stop()
    {
        write("preview", QStringLiteral("stopping"));
        ::signal(SIGHUP, SIG_IGN);
        ::raise(SIGSTOP);
        for (;;)
            ::pause();
    }

    bool guestStopped() const
    {
        QFile pid(m_report.fileName() + QStringLiteral(".guest"));
        QFile stat(pid.open(QIODevice::ReadOnly) ? QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid.readAll())) : QString());
        return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") T ");
    }

    void close(const QString &how)
    {
        m_stage = QStringLiteral("closing");
        if (how.startsWith(QLatin1String("stop")))
            stop();
        else if (how == QLatin1String("sigterm") || how == QLatin1String("sigint"))
            ::kill(::getppid(), how == QLatin1String("sigterm") ? SIGTERM : SIGINT);
        else if (how == QLatin1String("kill"))
            ::kill(::getpid(), SIGKILL);
        else if (how == QLatin1String("crashpage")) {
            for (QObject *page : m_view->findChildren<QObject *>()) // the engine's page: its process
                if (page->inherits("QWebEnginePage"))
                    ::kill(pid_t(page->property("renderProcessPid").toLongLong()), SIGKILL);
        } else if (how == QLatin1String("escape"))
            later([this] { QTest::keyClick(m_form3, Qt::Key_Escape); });
        else if (how == QLatin1String("closebox"))
            later([this] { m_form3->close(); });
        else
            later([this] { m_form3->findChild<QAbstractButton *>(QStringLiteral("Command1"))->click(); });
    }

    QFile m_report;
    const bool m_guest;
    QTimer m_tick;
    QString m_stage;
    QStringList m_clicks, m_steps, m_rounds;
    QWidget *m_view = nullptr;
    QString m_loaded;
    QDialog *m_form3 = nullptr;
    int m_round = 0;
    int m_paints = 0;
    int m_urls = 0;
    int m_boxes = 0;
    bool m_typed = false;
    bool m_pressed = false;
    QElapsedTimer m_closeBox;
    bool m_waitForUrl = false;
    bool m_closed = false;
    bool m_stepping = false;
    bool m_holding = false;
    int m_messages = 0;
};

void startDriver()
{
    // The engine's helper processes inherit the environment; the driver
    // belongs to the program and its preview process alone.
    if (inPreviewProcess())
        qunsetenv("LD_PRELOAD");
    const QString report = qEnvironmentVariable("ZELMORA_DRIVE_REPORT");
    if (!report.isEmpty() && qobject_cast<QApplication *>(QCoreApplication::instance()))
        new Driver(report); // lives as long as the program
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)

#include "preview_driver.moc"
