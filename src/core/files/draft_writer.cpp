#include "core/files/draft_writer.h"

#include "core/files/draft_file.h"

#include <QMetaObject>
#include <QObject>

namespace zelmora {

DraftWriter::DraftWriter(QObject *context, Done done) :
    m_context(context), m_done(std::move(done)), m_thread([this] { run(); })
{
}

DraftWriter::~DraftWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

quint64 DraftWriter::save(const QString &path, const PageSet &set)
{
    return request(path, set);
}

quint64 DraftWriter::remove(const QString &path)
{
    return request(path, std::nullopt);
}

quint64 DraftWriter::request(const QString &path, std::optional<PageSet> set)
{
    quint64 number = 0;
    {
        std::lock_guard lock(m_mutex);
        number = ++m_lastNumber;
        m_pending = Request{number, path, std::move(set)};
    }
    m_changed.notify_all();
    return number;
}

quint64 DraftWriter::lastRequest()
{
    std::lock_guard lock(m_mutex);
    return m_lastNumber;
}

void DraftWriter::waitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_pending && !m_busy; });
}

void DraftWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_pending || m_stopping; });
        if (!m_pending)
            return; // stopping, with nothing left to write
        const Request request = std::move(*m_pending);
        m_pending.reset();
        m_busy = true;
        lock.unlock();

        std::optional<FileError> error;
        if (request.set)
            error = saveDraft(request.path, *request.set);
        else
            removeDraft(request.path);
        // Queued to the context's thread; Qt drops it if the context is gone.
        QMetaObject::invokeMethod(
            m_context, [done = m_done, number = request.number, error] { done(number, error); },
            Qt::QueuedConnection);

        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

} // namespace zelmora
