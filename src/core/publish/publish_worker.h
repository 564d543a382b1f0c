#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class QThread;

namespace zelmora {

// Runs one piece of the publish work on a thread of its own, so that the
// window keeps answering while the server is slow: the work reports
// progress and polls cancelled(); finished() arrives on the thread that
// started it.
class PublishWorker : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(PublishWorker &)>;
    // cancel is the flag the work polls; cancel() sets it.
    PublishWorker(Work work, std::atomic_bool &cancel, QObject *parent = nullptr);
    ~PublishWorker() override;

    void start();
    bool isFinished() const { return m_finished; }
    // May be called from any thread; the work stops within a second.
    void cancel() { m_cancel.store(true); }
    bool wasCancelled() const { return m_cancel.load(); }
    // From the work: the file being sent and the bytes of the whole.
    void report(const QString &file, qint64 done, qint64 total)
    {
        emit progress(file, done, total);
    }
    // Starts the work and returns once it has finished, the events of the
    // calling thread handled meanwhile.
    void runAndWait();

signals:
    void progress(const QString &file, qint64 done, qint64 total);
    void finished();

private:
    Work m_work;
    QThread *m_thread = nullptr;
    std::atomic_bool &m_cancel;
    bool m_finished = false;
};

} // namespace zelmora
