#include "core/publish/publish_site.h"

#include "core/settings/settings_file.h"


namespace zelmora {

namespace {

const QString kProtocol = QStringLiteral("Protocol");
const QString kHost = QStringLiteral("Host");
const QString kPort = QStringLiteral("Port");
const QString kUser = QStringLiteral("User");
const QString kFolder = QStringLiteral("Folder");
const QString kAuth = QStringLiteral("Auth");
const QString kKeyFile = QStringLiteral("KeyFile");
const QString kRemember = QStringLiteral("Remember");

QString valueOf(const QString &settingsFile, const QString &key)
{
    return readIniString(kPublishSection, key, QString(), settingsFile);
}

} // namespace

QString PublishSite::identity() const
{
    const QString scheme = protocol == PublishProtocol::Sftp ? QStringLiteral("sftp") : QStringLiteral("ftps");
    return QStringLiteral("%1://%2@%3:%4/%5").arg(scheme, user, host, QString::number(port), folder);
}

bool PublishSite::isComplete() const
{
    return !host.trimmed().isEmpty() && !user.isEmpty() && port > 0 && port < 65536;
}

std::optional<PublishSite> readPublishSite(const QString &settingsFile)
{
    PublishSite site;
    site.host = valueOf(settingsFile, kHost);
    if (site.host.isEmpty())
        return std::nullopt;
    site.protocol = valueOf(settingsFile, kProtocol) == QStringLiteral("1") ? PublishProtocol::Ftps
                                                                           : PublishProtocol::Sftp;
    bool ok = false;
    const int port = valueOf(settingsFile, kPort).toInt(&ok);
    site.port = ok && port > 0 && port < 65536
        ? port
        : (site.protocol == PublishProtocol::Sftp ? kSftpPort : kFtpPort);
    site.user = valueOf(settingsFile, kUser);
    site.folder = valueOf(settingsFile, kFolder);
    const int auth = valueOf(settingsFile, kAuth).toInt();
    site.auth = site.protocol == PublishProtocol::Ftps || auth < 0 || auth > 2 ? PublishAuth::Password
                                                                              : PublishAuth(auth);
    site.keyFile = valueOf(settingsFile, kKeyFile);
    site.remember = valueOf(settingsFile, kRemember) == QStringLiteral("1");
    return site;
}

std::optional<FileError> writePublishSite(const PublishSite &site, const QString &settingsFile)
{
    return writeIniStrings(kPublishSection,
                           {{kProtocol, QString::number(int(site.protocol))},
                            {kHost, site.host.trimmed()},
                            {kPort, QString::number(site.port)},
                            {kUser, site.user},
                            {kFolder, site.folder},
                            {kAuth, QString::number(int(site.auth))},
                            {kKeyFile, site.keyFile},
                            {kRemember, site.remember ? QStringLiteral("1") : QStringLiteral("0")}},
                           settingsFile);
}

} // namespace zelmora
