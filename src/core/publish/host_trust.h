#pragma once

#include "core/files/file_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zelmora {

// A server the program met that it could not trust on its own: an SSH host
// key that neither known_hosts list has, or a TLS certificate that the
// system's authorities do not vouch for.
struct PeerIdentity {
    enum class Kind { SshKey, Certificate } kind = Kind::SshKey;
    QString host;
    int port = 0;
    QString keyType;     // "ssh-ed25519", ...
    QByteArray key;      // the host key's blob
    QString fingerprint; // "SHA256:..." of the host key or of the certificate
    QString details;     // a certificate's names and dates, one per line
    QString pin;         // a certificate's public key as curl pins it: "sha256//..."
};

// OpenSSH's fingerprint of a host key blob: "SHA256:" and the unpadded base64.
QString sshFingerprint(const QByteArray &keyBlob);

// known_hosts' name of a host on a port: "[host]:port" unless the port is 22.
QString knownHostName(const QString &host, int port);

// The servers the user trusted in this program, kept in a list of its own
// beside Zelmora.ini, and the user's ~/.ssh/known_hosts, which libssh2 reads.
class HostTrust {
public:
    HostTrust(const QString &listPath, const QString &knownHostsPath) :
        m_listPath(listPath), m_knownHostsPath(knownHostsPath)
    {
    }

    enum class Verdict { Unknown, Trusted, Changed };
    // The program's own list on an SSH host key.
    Verdict sshKey(const QString &host, int port, const QString &keyType,
                   const QByteArray &key) const;
    // The pinned public key of an FTPS host, if the user trusted one.
    std::optional<QString> certificatePin(const QString &host, int port) const;
    // Adds the key or certificate, replacing an earlier one of the same host.
    std::optional<FileError> trust(const PeerIdentity &peer) const;

    const QString &knownHostsPath() const { return m_knownHostsPath; }

private:
    QString m_listPath;
    QString m_knownHostsPath;
};

// The list's path for a settings file, and the user's known_hosts.
QString hostTrustListPath(const QString &settingsFile);
QString userKnownHostsPath();

} // namespace zelmora
