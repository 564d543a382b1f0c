#include "ui/preview/preview_client.h"

#include "core/files/file_descriptor.h"
#include "core/files/file_error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <cerrno>
#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

namespace zelmora {
namespace {

// The engine says why it refused to start on its standard error, in lines
// such as "[12:12:1208/041500.5:ERROR:file.cc(10)] Running as root without
// --no-sandbox is not supported.": the last such line (or else the last
// line), without its prefix.
QString lastErrorLine(const QByteArray &errors)
{
    QString engine, any;
    for (const QByteArray &raw : errors.split('\n')) {
        const QString line = QString::fromLocal8Bit(raw).trimmed();
        if (line.isEmpty())
            continue;
        any = line;
        if (line.startsWith(u'[') && line.contains(QLatin1String("] "))
            && (line.contains(QLatin1String(":ERROR:")) || line.contains(QLatin1String(":FATAL:"))))
            engine = line.mid(line.indexOf(QLatin1String("] ")) + 2);
    }
    return (engine.isEmpty() ? any : engine).left(300);
}

} // namespace

PreviewClient::PreviewClient(QWidget *mainWindow) :
    PreviewClient(mainWindow, guestProgram(), {QString::fromLatin1(kPreviewGuestOption)}, Times{})
{
}

PreviewClient::PreviewClient(QWidget *mainWindow, QString program, QStringList arguments,
                             Times times) :
    QObject(mainWindow),
    m_mainWindow(mainWindow), m_program(std::move(program)), m_arguments(std::move(arguments)),
    m_times(times)
{
    setObjectName(QStringLiteral("PreviewClient"));
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &PreviewClient::readAnswers);
    connect(&m_process, &QProcess::readyReadStandardError, this, &PreviewClient::readErrors);
    connect(&m_process, &QProcess::finished, this, &PreviewClient::guestEnded);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        abandon(m_closing ? tr("閉じるように求めても、プレビューのプロセスが応答しませんでした。")
                          : tr("プレビューのプロセスが応答しないまま、待てる時間を過ぎました。"));
    });
    m_warm.setSingleShot(true);
    connect(&m_warm, &QTimer::timeout, this, &PreviewClient::endWarmPeriod);
    m_mainWindow->installEventFilter(this);
}

PreviewClient::~PreviewClient()
{
    m_process.disconnect(this);
    if (m_process.state() == QProcess::NotRunning)
        return;
    // The end of its input tells the guest to quit, the engine's processes
    // with it; one that does not within the grace is killed. The program is
    // ending: its window is gone and its set is in the draft.
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(m_times.closeGraceMs / 2)) {
        m_process.kill();
        m_process.waitForFinished(m_times.closeGraceMs / 2);
    }
}

QString PreviewClient::guestProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zelmora");
}

bool PreviewClient::startGuest(QString *reason)
{
    m_buffer.clear();
    m_errors.clear();
    m_retired = false;
    // The guest ends with the program however the program ends, even while
    // the guest is stopped: a parent-death signal that cannot be caught.
    m_process.setChildProcessModifier([parent = ::getpid()] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127); // the program died before the signal was set
    });
    m_process.start(m_program, m_arguments);
    if (m_process.waitForStarted(m_times.showDeadlineMs))
        return true;
    // QProcess's own text is in English; the system's reason is in the user's language.
    const QString why = ::access(m_program.toLocal8Bit().constData(), X_OK) != 0
        ? systemErrorText(errno)
        : m_process.errorString();
    *reason = tr("プレビューのプロセスを起動できませんでした。\n%1\n%2").arg(m_program, why);
    return false;
}

std::optional<QString> PreviewClient::show(PreviewRequest request)
{
    m_warm.stop();
    if (m_retired && m_process.state() != QProcess::NotRunning) {
        // A guest that was told to go, or was killed, is not asked again.
        m_process.kill();
        m_process.waitForFinished(m_times.closeGraceMs);
    }
    if (m_process.state() == QProcess::NotRunning) {
        QString reason;
        if (!startGuest(&reason))
            return reason;
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        request.parentWindow = m_mainWindow->winId();
    m_open = true;
    m_failure.reset();
    m_process.write(request.toLine());
    // Busy until the window is on screen (or the preview ends): a cold
    // engine takes a while.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_deadline.start(m_times.showDeadlineMs);

    // Modality by hand: the window is another process's, so Qt cannot
    // block this one for it. Focus comes back where it was.
    const QPointer<QWidget> focus = QApplication::focusWidget();
    m_mainWindow->setEnabled(false);
    QEventLoop loop;
    m_quitLoop = [&loop] { loop.quit(); };
    if (m_open)
        loop.exec();
    m_quitLoop = nullptr;
    m_mainWindow->setEnabled(true);
    m_mainWindow->activateWindow();
    if (focus)
        focus->setFocus();
    if (!m_retired && m_process.state() != QProcess::NotRunning)
        m_warm.start(m_times.warmMs);
    return std::exchange(m_failure, std::nullopt);
}

void PreviewClient::end()
{
    m_warm.stop();
    if (m_open)
        abandon(std::nullopt);
}

void PreviewClient::finish(std::optional<QString> failure)
{
    if (!m_open)
        return;
    if (!m_shown)
        QApplication::restoreOverrideCursor();
    m_open = false;
    m_shown = false; // ready for the next preview
    m_closing = false;
    m_deadline.stop();
    m_failure = std::move(failure);
    if (m_quitLoop)
        m_quitLoop();
}

void PreviewClient::abandon(std::optional<QString> reason)
{
    m_retired = true;
    m_buffer.clear();
    m_process.kill(); // also when stopped
    finish(std::move(reason));
}

void PreviewClient::askToClose()
{
    if (!m_open || m_closing)
        return;
    m_closing = true;
    m_process.write(PreviewRequest{PreviewRequest::Kind::Close}.toLine());
    m_deadline.start(m_times.closeGraceMs);
}

void PreviewClient::endWarmPeriod()
{
    if (m_open || m_process.state() == QProcess::NotRunning)
        return;
    m_retired = true;
    m_process.closeWriteChannel();
    QTimer::singleShot(m_times.closeGraceMs, this, [this] {
        if (m_retired && !m_open)
            m_process.kill();
    });
}

void PreviewClient::readAnswers()
{
    m_buffer += m_process.readAllStandardOutput();
    for (qsizetype end; (end = m_buffer.indexOf('\n')) >= 0;) {
        const auto answer = PreviewAnswer::fromLine(m_buffer.left(end));
        m_buffer.remove(0, end + 1);
        if (!answer) {
            abandon(tr("プレビューのプロセスから読み取れない応答がありました。"));
            return;
        }
        switch (answer->kind) {
        case PreviewAnswer::Kind::Shown:
            if (!m_open || m_shown)
                break;
            QApplication::restoreOverrideCursor();
            m_shown = true;
            if (!m_closing)
                m_deadline.stop();
            Q_EMIT shown();
            break;
        case PreviewAnswer::Kind::Closed:
            finish(std::nullopt);
            break;
        case PreviewAnswer::Kind::Failed:
            finish(answer->reason);
            break;
        }
    }
}

void PreviewClient::readErrors()
{
    // Forwarded to the program's own standard error as they come, and the
    // end kept for the message.
    const QByteArray chunk = m_process.readAllStandardError();
    writeAll(STDERR_FILENO, chunk);
    m_errors = (m_errors + chunk).right(8192);
}

void PreviewClient::guestEnded(int exitCode, QProcess::ExitStatus status)
{
    readErrors();
    readAnswers(); // a last answer may come with the end
    if (!m_open)
        return;
    QString reason;
    if (status == QProcess::CrashExit)
        reason = tr("プレビューのプロセスが異常終了しました。");
    else if (exitCode == 0)
        reason = tr("プレビューのプロセスが、答えないまま終了しました。");
    else {
        reason = tr("プレビューのプロセスが終了しました (終了コード %1)。").arg(exitCode);
        if (const QString said = lastErrorLine(m_errors); !said.isEmpty())
            reason += u'\n' + said;
    }
    finish(reason);
}

bool PreviewClient::eventFilter(QObject *watched, QEvent *event)
{
    // The main window's close box closes the preview, not the program.
    if (m_open && watched == m_mainWindow && event->type() == QEvent::Close) {
        event->ignore();
        askToClose();
        return true;
    }
    return false;
}

} // namespace zelmora
