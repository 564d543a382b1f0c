#include "core/publish/publish_site.h"

#include "core/settings/settings_file.h"

namespace zelmora {

namespace {

const QString kKeyProtocol = QStringLiteral("Protocol");
const QString kKeyHost = QStringLiteral("Host");
const QString kKeyPort = QStringLiteral("Port");
const QString kKeyUser = QStringLiteral("User");
const QString kKeyFolder = QStringLiteral("Folder");
const QString kKeyAuth = QStringLiteral("Auth");
const QString kKeyKeyFile = QStringLiteral("KeyFile");
const QString kKeyRemember = QStringLiteral("Remember");

QString valueOf(const QString &settingsFile, const QString &key)
{
    return readIniString(kPublishSection, key, QString(), settingsFile);
}

} // namespace

QString PublishSite::identity() const
{
    const QString scheme
        = protocol == PublishProtocol::Sftp ? QStringLiteral("sftp") : QStringLiteral("ftps");
    return QStringLiteral("%1://%2@%3:%4/%5").arg(scheme, user, host, QString::number(port), folder);
}

bool PublishSite::isComplete() const
{
    return !host.trimmed().isEmpty() && !user.isEmpty() && port > 0 && port < 65536;
}

std::optional<PublishSite> readPublishSite(const QString &settingsFile)
{
    PublishSite site;
    site.host = valueOf(settingsFile, kKeyHost);
    if (site.host.isEmpty())
        return std::nullopt;
    site.protocol = valueOf(settingsFile, kKeyProtocol) == QStringLiteral("1")
        ? PublishProtocol::Ftps
        : PublishProtocol::Sftp;
    bool ok = false;
    const int port = valueOf(settingsFile, kKeyPort).toInt(&ok);
    site.port = ok && port > 0 && port < 65536
        ? port
        : (site.protocol == PublishProtocol::Sftp ? kSftpPort : kFtpPort);
    site.user = valueOf(settingsFile, kKeyUser);
    site.folder = valueOf(settingsFile, kKeyFolder);
    const int auth = valueOf(settingsFile, kKeyAuth).toInt();
    site.auth = site.protocol == PublishProtocol::Ftps || auth < 0 || auth > 2
        ? PublishAuth::Password
        : PublishAuth(auth);
    site.keyFile = valueOf(settingsFile, kKeyKeyFile);
    site.remember = valueOf(settingsFile, kKeyRemember) == QStringLiteral("1");
    return site;
}

std::optional<FileError> writePublishSite(const PublishSite &site, const QString &settingsFile)
{
    return writeIniStrings(kPublishSection,
                           {{kKeyProtocol, QString::number(int(site.protocol))},
                            {kKeyHost, site.host.trimmed()},
                            {kKeyPort, QString::number(site.port)},
                            {kKeyUser, site.user},
                            {kKeyFolder, site.folder},
                            {kKeyAuth, QString::number(int(site.auth))},
                            {kKeyKeyFile, site.keyFile},
                            {kKeyRemember,
                             site.remember ? QStringLiteral("1") : QStringLiteral("0")}},
                           settingsFile);
}

} // namespace zelmora
