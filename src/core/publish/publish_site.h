#pragma once

#include "core/files/file_error.h"

#include <QString>

#include <optional>

namespace zelmora {

enum class PublishProtocol { Sftp = 0, Ftps = 1 };
enum class PublishAuth { Password = 0, Agent = 1, KeyFile = 2 };

// Where a set goes: one site of the author's. Kept in Zelmora.ini beside the
// options; its secrets never are (see SiteSecrets).
struct PublishSite {
    PublishProtocol protocol = PublishProtocol::Sftp;
    QString host;
    int port = 22;
    QString user;
    QString folder; // an absolute path, or one below the login folder
    PublishAuth auth = PublishAuth::Password;
    QString keyFile;
    bool remember = false; // keep the password or passphrase in the keyring

    bool operator==(const PublishSite &) const = default;

    // One string per site, naming what was sent where and what the keyring
    // holds for it: protocol, user, host, port and folder.
    QString identity() const;
    // Whether host and user are filled in and the port is a port.
    bool isComplete() const;
};

// The password or the key file's passphrase, held in memory only.
struct SiteSecrets {
    QString password;
    QString passphrase;
};

inline constexpr int kSftpPort = 22;
inline constexpr int kFtpPort = 21;

inline const QString kPublishSection = QStringLiteral("KokaiSettei");

// The site of the settings file; nullopt when none was set up yet.
std::optional<PublishSite> readPublishSite(const QString &settingsFile);
// Writes it in one replacement of the file, the other keys left as they are.
std::optional<FileError> writePublishSite(const PublishSite &site, const QString &settingsFile);

} // namespace zelmora
