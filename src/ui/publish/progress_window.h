#pragma once

#include "core/publish/publish_command.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zelmora {

// The publish progress: the file being sent, the bytes of the whole, a bar,
// and キャンセル (Esc and the close box too), which stops the transfer
// within a second. Modal over the main window while the worker runs.
class ProgressWindow : public QDialog, public PublishProgress {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget *parent);
    void run(PublishWorker &worker) override;
    void reject() override;

private:
    void show(const QString &file, qint64 done, qint64 total);

    QLabel *m_file = nullptr;
    QLabel *m_bytes = nullptr;
    QProgressBar *m_bar = nullptr;
    QPushButton *m_cancel = nullptr;
    PublishWorker *m_worker = nullptr;
};

} // namespace zelmora
