#pragma once

#include "core/files/file_error.h"
#include "core/publish/set_files.h"

#include <QMap>

#include <optional>

namespace zelmora {

// What was last sent to one site: each remote name with the size and
// SHA-256 of the file sent under it.
using SentFiles = QMap<QString, SetFile>;

// The file beside Zelmora.ini that holds what was sent to every site.
QString sentManifestPath(const QString &settingsFile);

// The files last sent to the site; none when the manifest is missing or
// unreadable (everything is then sent again, which is safe).
SentFiles readSentFiles(const QString &manifestPath, const QString &siteIdentity);

// Replaces the site's entry, keeping every other site's, as one whole new file.
std::optional<FileError> writeSentFiles(const QString &manifestPath, const QString &siteIdentity,
                                        const SentFiles &sent);

// The files that differ from what the site last got (all when sendAll).
QList<SetFile> filesToSend(const QList<SetFile> &files, const SentFiles &sent, bool sendAll);

} // namespace zelmora
