#include "core/publish/publish_worker.h"

#include <QEventLoop>
#include <QThread>

namespace zelmora {

PublishWorker::PublishWorker(Work work, std::atomic_bool &cancel, QObject *parent) :
    QObject(parent), m_work(std::move(work)), m_cancel(cancel)
{
}

PublishWorker::~PublishWorker()
{
    if (m_thread) {
        // Only a worker still running is stopped: the flag is shared by the
        // steps of one publish.
        if (!m_thread->isFinished())
            m_cancel.store(true);
        m_thread->wait();
        delete m_thread;
    }
}

void PublishWorker::start()
{
    m_thread = QThread::create([this] { m_work(*this); });
    connect(m_thread, &QThread::finished, this, [this] {
        m_finished = true;
        emit finished();
    });
    m_thread->start();
}

void PublishWorker::runAndWait()
{
    QEventLoop loop;
    connect(this, &PublishWorker::finished, &loop, &QEventLoop::quit);
    start();
    if (!m_finished)
        loop.exec();
}

} // namespace zelmora
