#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace zelmora {

// One local file of a set as it is sent: its name in the output folder (and
// in the remote folder), its size and its SHA-256.
struct SetFile {
    QString name;
    qint64 size = 0;
    QByteArray sha256;

    bool operator==(const SetFile &) const = default;
};

// What a written set sends: its pages in order, the files its format writes
// beside them, and every picture its pages and background show, each once.
// Never the data page: that holds the author's notes.
struct SetFiles {
    QList<SetFile> files;
    int pages = 0;
};

// Reads the set title + ext from the output folder as 作成 last wrote it,
// with the reader of 開く, and hashes each of its files. A missing set, a
// picture that is not there, or a file that is not a regular file of the
// folder gives the message for the user instead.
std::optional<SetFiles> collectSetFiles(const QString &outputFolder, const QString &title,
                                        const QString &ext, QString *problem);

// The page names of the set beyond its last page: what an earlier, longer
// version of it left, among the remote folder's names.
QStringList stalePages(const QStringList &remoteNames, const QString &title, const QString &ext,
                       int pages);

} // namespace zelmora
