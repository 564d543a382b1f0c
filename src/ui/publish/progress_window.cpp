#include "ui/publish/progress_window.h"

#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace zelmora {

ProgressWindow::ProgressWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PublishProgress"));
    setWindowTitle(tr("公開"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    m_file = new QLabel(tr("サーバーに接続しています…"), this);
    m_file->setObjectName(QStringLiteral("PublishFile"));
    m_bytes = new QLabel(this);
    m_bytes->setObjectName(QStringLiteral("PublishBytes"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("PublishBar"));
    m_bar->setRange(0, 0);
    m_cancel = new QPushButton(tr("キャンセル"), this);
    m_cancel->setObjectName(QStringLiteral("PublishCancel"));
    for (QWidget *widget : std::initializer_list<QWidget *>{m_file, m_bytes, m_bar, m_cancel})
        layout->addWidget(widget);
    connect(m_cancel, &QPushButton::clicked, this, &ProgressWindow::reject);
    setMinimumWidth(360);
}

void ProgressWindow::run(PublishWorker &worker)
{
    m_worker = &worker;
    m_cancel->setEnabled(true);
    connect(&worker, &PublishWorker::progress, this, &ProgressWindow::show);
    connect(&worker, &PublishWorker::finished, this, &QDialog::accept);
    worker.start();
    if (!worker.isFinished())
        exec();
    disconnect(&worker, nullptr, this, nullptr);
    m_worker = nullptr;
}

void ProgressWindow::reject()
{
    // The window stays until the worker has stopped: the old files are
    // whole again only once the transfer has ended.
    if (m_worker && !m_worker->isFinished()) {
        m_worker->cancel();
        m_cancel->setEnabled(false);
        m_file->setText(tr("キャンセルしています…"));
        return;
    }
    QDialog::reject();
}

void ProgressWindow::show(const QString &file, qint64 done, qint64 total)
{
    if (file.isEmpty())
        return;
    m_file->setText(tr("送信中: %1").arg(file));
    const QLocale locale;
    m_bytes->setText(
        tr("%1 / %2").arg(locale.formattedDataSize(done), locale.formattedDataSize(total)));
    // The bar counts kilobytes, so that sets beyond 2 GB still fit an int.
    m_bar->setRange(0, int(std::max<qint64>(total / 1024, 1)));
    m_bar->setValue(int(done / 1024));
}

} // namespace zelmora
