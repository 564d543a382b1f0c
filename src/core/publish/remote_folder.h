#pragma once

#include "core/publish/host_trust.h"
#include "core/publish/publish_site.h"
#include "core/publish/remote_error.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace zelmora {

// The remote folder of a site, through libcurl: one connection kept open for
// all the requests of one publish. Every request blocks, so it belongs on a
// worker thread; cancel is polled at least once a second while one runs.
class RemoteFolder {
public:
    RemoteFolder(const PublishSite &site, const SiteSecrets &secrets, const HostTrust &trust,
                 const std::atomic_bool &cancel);
    ~RemoteFolder();
    RemoteFolder(const RemoteFolder &) = delete;
    RemoteFolder &operator=(const RemoteFolder &) = delete;

    // The names in the folder (a missing folder is empty: the first upload
    // creates it).
    std::optional<RemoteError> list(QStringList *names);
    // Sends the local file under temporaryName(name), then renames it over
    // name: until the rename the old file stays whole. sent is told the
    // bytes of this file sent so far.
    std::optional<RemoteError> upload(const QString &localPath, const QString &name,
                                      const std::function<void(qint64 sent)> &sent);
    std::optional<RemoteError> remove(const QString &name);

    // The server the last failure of kind UnknownHostKey or
    // UntrustedCertificate met, for the user to decide on.
    const std::optional<PeerIdentity> &untrustedPeer() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The names a file is sent under before its rename, and the name the old
// file is kept under meanwhile where the server cannot rename over a file.
QString temporaryName(const QString &name);
QString keptName(const QString &name);

} // namespace zelmora
