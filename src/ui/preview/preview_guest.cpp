#include "ui/preview/preview_guest.h"

#include "core/preview/preview_cleanup.h"
#include "ui/preview/preview_browser.h"
#include "ui/preview/preview_command.h"
#include "ui/preview/preview_protocol.h"
#include "ui/preview/preview_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include <cerrno>
#include <cstdio>

#include <unistd.h>

namespace zelmora {
namespace {

class PreviewGuest : public QObject {
public:
    PreviewGuest() : m_input(STDIN_FILENO, QSocketNotifier::Read)
    {
        // The answers get a descriptor of their own; whatever the engine or
        // a library prints on standard output goes to standard error and
        // cannot be taken for an answer.
        m_answers = ::dup(STDOUT_FILENO);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        connect(&m_input, &QSocketNotifier::activated, this, &PreviewGuest::readInput);
        m_warm.setSingleShot(true);
        m_warm.setInterval(kPreviewWarmMs);
        connect(&m_warm, &QTimer::timeout, qApp, &QCoreApplication::quit);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    ~PreviewGuest() override
    {
        // The web view goes before the application, as the engine expects.
        delete m_window;
        delete m_parent;
    }

private:
    void readInput()
    {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            // The program has ended: nobody is left to show the window to.
            m_input.setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
        m_buffer.append(chunk, n);
        for (qsizetype end; (end = m_buffer.indexOf('\n')) >= 0;) {
            const QByteArray line = m_buffer.left(end);
            m_buffer.remove(0, end + 1);
            if (const auto request = PreviewRequest::fromLine(line))
                show(*request);
        }
    }

    void answer(const PreviewAnswer &a)
    {
        const QByteArray line = a.toLine();
        for (qsizetype done = 0; done < line.size();) {
            const ssize_t n
                = ::write(m_answers, line.constData() + done, size_t(line.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return; // the program has ended; the input's end follows
            done += n;
        }
    }

    void fail(const QString &reason)
    {
        answer({PreviewAnswer::Kind::Failed, reason});
        QCoreApplication::exit(1);
    }

    void show(const PreviewRequest &request)
    {
        m_warm.stop();
        if (!m_window) {
            QString reason;
            PreviewBrowserFactory *factory = loadPreviewModule(&reason);
            if (!factory) {
                fail(QStringLiteral("プレビュー機能を読み込めませんでした。\n") + reason);
                return;
            }
            m_window = new PreviewWindow(*factory, request.folder, nullptr);
            m_window->installEventFilter(this);
            m_window->browser()->onFailure([this](const QString &reason) {
                m_window->hide();
                fail(reason);
            });
            connect(m_window, &QDialog::finished, this, [this] {
                answer({PreviewAnswer::Kind::Closed, {}});
                m_warm.start();
            });
        }
        makeTransient(request.parentWindow);
        m_window->move(request.position);
        // The pages are the program's to delete (preview_protocol.h).
        m_window->start(request.title, PreviewPageFiles(), request.lastPage);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        answer({PreviewAnswer::Kind::Shown, {}});
    }

    // Only X11 lets a window name another process's window as its parent;
    // on Wayland the window stands on its own.
    void makeTransient(quint64 parent)
    {
        if (!parent || QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        if (!m_parent || m_parent->winId() != WId(parent)) {
            delete m_parent;
            m_parent = QWindow::fromWinId(WId(parent));
        }
        m_window->winId(); // makes the window's handle
        keepTransient();
    }

    // The web view makes Qt replace the window's handle when it first draws
    // through OpenGL; the new one is shown without a parent unless told again.
    void keepTransient()
    {
        if (m_parent && m_window->windowHandle())
            m_window->windowHandle()->setTransientParent(m_parent);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::WinIdChange)
            keepTransient();
        return false;
    }

private:
    QSocketNotifier m_input;
    QByteArray m_buffer;
    int m_answers = -1;
    QTimer m_warm;
    PreviewWindow *m_window = nullptr;
    QWindow *m_parent = nullptr;
};

} // namespace

int runPreviewGuest()
{
    PreviewGuest guest;
    return QApplication::exec();
}

} // namespace zelmora
