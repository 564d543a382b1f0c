#include "ui/preview_guest/preview_guest.h"

#include "core/files/file_descriptor.h"
#include "core/model/texts.h"
#include "core/preview_protocol/preview_protocol.h"
#include "ui/preview_guest/preview_browser.h"
#include "ui/preview_guest/preview_module.h"
#include "ui/preview_guest/preview_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace zelmora {
namespace {

class PreviewGuest : public QObject {
public:
    PreviewGuest() : m_input(STDIN_FILENO, QSocketNotifier::Read)
    {
        // The answers get a descriptor of their own, closed on exec so that
        // no engine process holds it; whatever the engine or a library
        // prints on standard output goes to standard error and cannot be
        // taken for an answer.
        m_answers = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
        ::dup2(STDERR_FILENO, STDOUT_FILENO);
        connect(&m_input, &QSocketNotifier::activated, this, &PreviewGuest::readInput);
        // The program ends this process by closing its input, after the
        // warm period or when it ends itself.
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
            take(PreviewRequest::fromLine(line));
        }
    }

    // Every request is answered: a show by "shown" or "failed", a close of
    // the open window by "closed" (through the window's finished signal).
    void take(const std::optional<PreviewRequest> &request)
    {
        if (!request) {
            refuse(Texts::tr("プレビューの要求を読み取れませんでした。"));
            return;
        }
        if (request->kind == PreviewRequest::Kind::Close) {
            if (m_window && m_window->isVisible())
                m_window->reject();
            return;
        }
        if (const auto fault = request->fault()) {
            refuse(Texts::tr("プレビューの要求を受け付けられませんでした。\n%1").arg(*fault));
            return;
        }
        show(*request);
    }

    // A request this process cannot take; it stays for the next one.
    void refuse(const QString &reason) { answer({PreviewAnswer::Kind::Failed, reason}); }

    void answer(const PreviewAnswer &a)
    {
        // A failure means the program has ended; the input's end follows.
        writeAll(m_answers, a.toLine());
    }

    void fail(const QString &reason)
    {
        answer({PreviewAnswer::Kind::Failed, reason});
        QCoreApplication::exit(1);
    }

    void show(const PreviewRequest &request)
    {
        if (!m_window) {
            QString reason;
            PreviewBrowserFactory *factory = loadPreviewModule(reason);
            if (!factory) {
                fail(Texts::tr("プレビュー機能を読み込めませんでした。\n%1").arg(reason));
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
            });
        }
        makeTransient(request.parentWindow);
        m_window->move(request.position);
        m_window->start(request.title, request.lastPage);
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
        answer({PreviewAnswer::Kind::Shown, {}});
    }

    // Only X11 lets a window name another process's window as its parent;
    // on Wayland the window stands on its own. Modal to its parent, the
    // window manager marks it so (_NET_WM_STATE_MODAL) and gives it the
    // focus back when the greyed main window is clicked. Modality is only
    // taken while hidden, which the window is between previews.
    void makeTransient(quint64 parent)
    {
        const bool transient = parent && QGuiApplication::platformName() == QLatin1String("xcb");
        if (!m_window->isVisible())
            m_window->setWindowModality(transient ? Qt::WindowModal : Qt::NonModal);
        if (!transient)
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
