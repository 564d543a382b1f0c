#pragma once

#include "core/files/file_error.h"
#include "core/model/page_set.h"

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QObject;

namespace zelmora {

// Saves and removes a draft on a thread of its own, so that typing never
// waits for the disk (a slow stick, a network home folder). The latest
// request wins: one waiting behind the write in progress is replaced by a
// newer one, so the disk sees at most the write under way and the newest
// state. Each request has a number, rising; done is called with it and the
// outcome on context's thread, and is dropped if context is destroyed first.
class DraftWriter {
public:
    using Done = std::function<void(quint64 request, std::optional<FileError> error)>;
    DraftWriter(QObject *context, Done done);
    // Finishes what was asked for, then ends the thread.
    ~DraftWriter();
    DraftWriter(const DraftWriter &) = delete;
    DraftWriter &operator=(const DraftWriter &) = delete;

    quint64 save(const QString &path, const PageSet &set);
    quint64 remove(const QString &path);
    // The number of the latest request.
    quint64 lastRequest();
    // Blocks until every request is on disk; done is still called later,
    // from the event loop.
    void waitUntilWritten();

private:
    struct Request {
        quint64 number = 0;
        QString path;
        std::optional<PageSet> set; // none: remove
    };
    quint64 request(const QString &path, std::optional<PageSet> set);
    void run();

    QObject *m_context;
    Done m_done;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<Request> m_pending; // guarded by m_mutex, as the two below
    bool m_busy = false;
    bool m_stopping = false;
    quint64 m_lastNumber = 0;
    std::thread m_thread; // last: started once the rest is ready
};

} // namespace zelmora
