#pragma once

#include <QString>

namespace zelmora {

// Why a request to the server failed, as the user is told: the kind in the
// interface's words, with the server's own reason where it gave one.
struct RemoteError {
    enum class Kind {
        HostNotFound,
        Refused,
        TimedOut,
        WrongPassword,
        KeyRejected,
        PermissionDenied,
        NotFound,
        DiskFull,
        ConnectionLost,
        Cancelled,
        UnknownHostKey,
        ChangedHostKey,
        UntrustedCertificate,
        ChangedCertificate,
        Other,
    };
    Kind kind = Kind::Other;
    QString host;
    QString reason; // the server's reply, or libcurl's account of the failure

    // The message for the user, in the interface's language.
    QString message() const;
};

} // namespace zelmora
