#pragma once

#include "core/model/desktop.h"
#include "core/places/program_paths.h"
#include "core/publish/publish_site.h"
#include "core/publish/publish_worker.h"

#include <QStringList>

namespace zelmora {

// What the publish command needs of the window beyond the desktop's boxes:
// a progress window with キャンセル while the worker runs. It starts the
// worker and returns once the worker has finished.
class PublishProgress {
public:
    virtual ~PublishProgress() = default;
    virtual void run(PublishWorker &worker) = 0;
};

// Waits for the worker without a window.
class QuietProgress : public PublishProgress {
public:
    void run(PublishWorker &worker) override { worker.runAndWait(); }
};

struct PublishRequest {
    QString title; // the set as 作成 wrote it: title and extension
    QString ext;
    PublishSite site;
    SiteSecrets secrets;
    bool sendAll = false; // every file, not only those changed since the last publish
};

struct PublishOutcome {
    enum class Result {
        Published,
        NothingToSend,
        Declined,
        Cancelled,
        Failed
    } result
        = Result::Failed;
    QStringList sent;    // in the order sent
    QStringList removed; // stale pages removed
};

// The publish command: the set's files (set_files.h) that differ from what
// the site last got go up one at a time, each under a temporary name renamed
// over the real one; the stale pages of a longer earlier version are listed
// and removed only when the user says はい. An unknown server is asked about,
// a changed one refused; every failure is one message with the server's
// reason. Nothing but the set's own names is ever written or removed there.
PublishOutcome runPublishCommand(const PublishRequest &request, const ProgramPaths &paths,
                                 Desktop &desktop, PublishProgress &progress);

} // namespace zelmora
