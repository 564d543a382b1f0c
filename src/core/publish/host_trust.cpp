#include "core/publish/host_trust.h"

#include "core/files/atomic_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zelmora {

namespace {

// One line a server: "ssh <name> <type> <base64 key>" or "ftps <name> <pin>".
QList<QStringList> readLines(const QString &path)
{
    QList<QStringList> out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray &line : file.read(1 << 20).split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() >= 3)
            out << fields;
    }
    return out;
}

const QString kSsh = QStringLiteral("ssh");
const QString kFtps = QStringLiteral("ftps");

} // namespace

QString sshFingerprint(const QByteArray &keyBlob)
{
    return QStringLiteral("SHA256:")
        + QString::fromLatin1(QCryptographicHash::hash(keyBlob, QCryptographicHash::Sha256)
                                  .toBase64(QByteArray::OmitTrailingEquals));
}

QString knownHostName(const QString &host, int port)
{
    return port == 22 ? host : QStringLiteral("[%1]:%2").arg(host).arg(port);
}

HostTrust::Verdict HostTrust::sshKey(const QString &host, int port, const QString &keyType,
                                     const QByteArray &key) const
{
    const QString name = knownHostName(host, port);
    Verdict verdict = Verdict::Unknown;
    for (const QStringList &fields : readLines(m_listPath)) {
        if (fields.size() < 4 || fields[0] != kSsh || fields[1] != name)
            continue;
        if (fields[2] == keyType && QByteArray::fromBase64(fields[3].toLatin1()) == key)
            return Verdict::Trusted;
        verdict = Verdict::Changed;
    }
    return verdict;
}

std::optional<QString> HostTrust::certificatePin(const QString &host, int port) const
{
    const QString name = knownHostName(host, port);
    for (const QStringList &fields : readLines(m_listPath)) {
        if (fields[0] == kFtps && fields[1] == name)
            return fields[2];
    }
    return std::nullopt;
}

std::optional<FileError> HostTrust::trust(const PeerIdentity &peer) const
{
    const QString kind = peer.kind == PeerIdentity::Kind::SshKey ? kSsh : kFtps;
    const QString name = knownHostName(peer.host, peer.port);
    QStringList lines;
    for (const QStringList &fields : readLines(m_listPath)) {
        if (fields[0] != kind || fields[1] != name)
            lines << fields.join(u' ');
    }
    if (peer.kind == PeerIdentity::Kind::SshKey)
        lines << QStringList{kind, name, peer.keyType, QString::fromLatin1(peer.key.toBase64())}
                     .join(u' ');
    else
        lines << QStringList{kind, name, peer.pin}.join(u' ');
    return writeWholeFile(m_listPath, (lines.join(u'\n') + u'\n').toUtf8());
}

QString hostTrustListPath(const QString &settingsFile)
{
    return QFileInfo(settingsFile).absolutePath() + QStringLiteral("/Zelmora.hosts");
}

QString userKnownHostsPath()
{
    return QDir::homePath() + QStringLiteral("/.ssh/known_hosts");
}

} // namespace zelmora
