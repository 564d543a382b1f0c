#pragma once

#include "core/preview_protocol/preview_protocol.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <optional>

class QWidget;

namespace zelmora {

// Where a preview is shown: show() returns once the preview window has
// closed, with the reason (in the user's language) when it could not be
// shown or ended abnormally.
class PreviewHost {
public:
    virtual ~PreviewHost() = default;
    virtual std::optional<QString> show(PreviewRequest request) = 0;
};

// The program's side of the preview process (preview_protocol.h): starts
// the guest when none is warm, asks it to show a preview and waits until the
// window has closed. While it waits the main window takes no input, as under
// a modal window of its own, except its close box, which closes the
// preview. No wait is unbounded: a guest that does not show the window
// within the show deadline, or does not close it within the close grace
// after the user asked, is ended and the reason returned.
class PreviewClient : public QObject, public PreviewHost {
    Q_OBJECT
public:
    struct Times {
        int showDeadlineMs = kPreviewShowDeadlineMs;
        int closeGraceMs = kPreviewCloseGraceMs;
        int warmMs = kPreviewWarmMs;
    };

    // The real preview process: this program started with --preview-guest.
    explicit PreviewClient(QWidget *mainWindow);
    // Another program in its stead, speaking the same protocol.
    PreviewClient(QWidget *mainWindow, QString program, QStringList arguments, Times times);
    ~PreviewClient() override;

    std::optional<QString> show(PreviewRequest request) override;
    // The program is ending: the preview goes at once, without a message,
    // and show() returns.
    void end();

    // The program that runs the preview: this program, beside the running one.
    static QString guestProgram();

Q_SIGNALS:
    void shown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool startGuest(QString *reason);
    void readAnswers();
    void readErrors();
    void guestEnded(int exitCode, QProcess::ExitStatus status);
    void askToClose();
    // Kills the guest, also a stopped one, and ends the preview with reason.
    void abandon(std::optional<QString> reason);
    void finish(std::optional<QString> failure);
    void endWarmPeriod();

    QWidget *m_mainWindow;
    QString m_program;
    QStringList m_arguments;
    Times m_times;
    QProcess m_process;
    QByteArray m_buffer;
    QByteArray m_errors; // the end of what the guest printed on standard error
    QTimer m_deadline;   // for "shown", and for "closed" after a close
    QTimer m_warm;
    bool m_open = false;
    bool m_shown = false; // the wait cursor shows while open and not shown
    bool m_closing = false;
    bool m_retired = false; // the running guest was told to go, or killed
    std::optional<QString> m_failure;
    std::function<void()> m_quitLoop;
};

} // namespace zelmora
