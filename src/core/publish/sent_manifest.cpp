#include "core/publish/sent_manifest.h"

#include "core/files/atomic_file.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace zelmora {

namespace {

// Larger than any manifest of sets a person writes; a larger file is not ours.
constexpr qint64 kMaxManifestBytes = 16 << 20;

QJsonObject readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.read(kMaxManifestBytes)).object();
}

} // namespace

QString sentManifestPath(const QString &settingsFile)
{
    return QFileInfo(settingsFile).absolutePath() + QStringLiteral("/Zelmora.sent");
}

SentFiles readSentFiles(const QString &manifestPath, const QString &siteIdentity)
{
    SentFiles out;
    const QJsonObject site = readAll(manifestPath).value(siteIdentity).toObject();
    for (auto it = site.begin(); it != site.end(); ++it) {
        const QJsonObject entry = it.value().toObject();
        SetFile file;
        file.name = it.key();
        file.size = entry.value(QStringLiteral("size")).toInteger(-1);
        file.sha256
            = QByteArray::fromHex(entry.value(QStringLiteral("sha256")).toString().toLatin1());
        out.insert(file.name, file);
    }
    return out;
}

std::optional<FileError> writeSentFiles(const QString &manifestPath, const QString &siteIdentity,
                                        const SentFiles &sent)
{
    QJsonObject all = readAll(manifestPath);
    QJsonObject site;
    for (const SetFile &file : sent) {
        site.insert(file.name,
                    QJsonObject{{QStringLiteral("size"), file.size},
                                {QStringLiteral("sha256"),
                                 QString::fromLatin1(file.sha256.toHex())}});
    }
    all.insert(siteIdentity, site);
    return writeWholeFile(manifestPath, QJsonDocument(all).toJson());
}

QList<SetFile> filesToSend(const QList<SetFile> &files, const SentFiles &sent, bool sendAll)
{
    QList<SetFile> out;
    for (const SetFile &file : files) {
        if (sendAll || sent.value(file.name) != file)
            out << file;
    }
    return out;
}

} // namespace zelmora
