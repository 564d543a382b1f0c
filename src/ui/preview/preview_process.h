#pragma once

#include "ui/preview/preview_protocol.h"

#include <QObject>
#include <QProcess>

#include <functional>
#include <optional>

class QWidget;

namespace zelmora {

// The program's side of the preview process (preview_protocol.h): starts
// the guest when it is not running (or no longer warm), asks it to show a
// preview, and waits until the window has closed. While the window is open
// the main window takes no input, as under a modal window of its own.
// Made as a child of the main window; destroying it ends the guest.
class PreviewProcess : public QObject {
public:
    explicit PreviewProcess(QWidget *mainWindow);
    ~PreviewProcess() override;

    // Returns when the preview window has closed; the reason, in the user's
    // language, when it could not be shown or its process ended while open.
    std::optional<QString> show(PreviewRequest request);

    // The program that runs the preview: this program, beside the running one.
    static QString guestProgram();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startGuest(QString *reason);
    void readAnswers();
    void guestEnded(int exitCode, QProcess::ExitStatus status);
    void finish(std::optional<QString> failure);

    QWidget *m_mainWindow;
    QProcess m_process;
    QByteArray m_buffer;
    bool m_open = false;
    bool m_shown = false;
    bool m_endedIdle = false;
    std::optional<QString> m_failure;
    std::function<void()> m_quitLoop;
};

} // namespace zelmora
