#include "ui/preview/preview_process.h"

#include "core/files/file_error.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <cerrno>

#include <unistd.h>

namespace zelmora {

PreviewProcess::PreviewProcess(QWidget *mainWindow) : QObject(mainWindow), m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("PreviewProcess"));
    // The engine's own messages stay on the program's standard error.
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &PreviewProcess::readAnswers);
    connect(&m_process, &QProcess::finished, this, &PreviewProcess::guestEnded);
    m_mainWindow->installEventFilter(this);
}

PreviewProcess::~PreviewProcess()
{
    m_process.disconnect(this);
    if (m_process.state() == QProcess::NotRunning)
        return;
    // The end of its input tells the guest to quit; the engine's own
    // processes go with it.
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

QString PreviewProcess::guestProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zelmora");
}

bool PreviewProcess::startGuest(QString *reason)
{
    m_buffer.clear();
    const QString program = guestProgram();
    m_process.start(program, {QString::fromLatin1(kPreviewGuestOption)});
    if (m_process.waitForStarted(-1))
        return true;
    // QProcess's own text is in English; the system's reason is in the user's language.
    const QString why = ::access(program.toLocal8Bit().constData(), X_OK) != 0
        ? systemErrorText(errno)
        : m_process.errorString();
    *reason = QStringLiteral("プレビューのプロセスを起動できませんでした。\n") + program
        + QStringLiteral("\n") + why;
    return false;
}

std::optional<QString> PreviewProcess::show(PreviewRequest request)
{
    // Twice at most: a warm guest may end on its own just as a request goes out.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_process.state() == QProcess::NotRunning) {
            QString reason;
            if (!startGuest(&reason))
                return reason;
        }
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            request.parentWindow = m_mainWindow->winId();
        m_open = true;
        m_shown = false;
        m_endedIdle = false;
        m_failure.reset();
        m_process.write(request.toLine());

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
        if (!m_endedIdle)
            return m_failure;
    }
    return m_failure;
}

void PreviewProcess::finish(std::optional<QString> failure)
{
    if (!m_open)
        return;
    m_open = false;
    m_failure = std::move(failure);
    if (m_quitLoop)
        m_quitLoop();
}

void PreviewProcess::readAnswers()
{
    m_buffer += m_process.readAllStandardOutput();
    for (qsizetype end; (end = m_buffer.indexOf('\n')) >= 0;) {
        const auto answer = PreviewAnswer::fromLine(m_buffer.left(end));
        m_buffer.remove(0, end + 1);
        if (!answer)
            continue;
        switch (answer->kind) {
        case PreviewAnswer::Kind::Shown:
            m_shown = true;
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

void PreviewProcess::guestEnded(int exitCode, QProcess::ExitStatus status)
{
    readAnswers(); // a last answer may come with the end
    if (!m_open)
        return;
    if (status == QProcess::NormalExit && exitCode == 0 && !m_shown) {
        m_endedIdle = true;
        finish(std::nullopt);
        return;
    }
    finish(
        status == QProcess::CrashExit
            ? QStringLiteral("プレビューのプロセスが異常終了しました。")
            : QStringLiteral("プレビューのプロセスが終了しました (終了コード %1)。").arg(exitCode));
}

bool PreviewProcess::eventFilter(QObject *watched, QEvent *event)
{
    // The main window stays while the preview is open, as under a modal window.
    if (m_open && watched == m_mainWindow && event->type() == QEvent::Close) {
        event->ignore();
        return true;
    }
    return false;
}

} // namespace zelmora
