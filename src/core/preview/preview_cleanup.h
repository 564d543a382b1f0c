#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <vector>

namespace zelmora {

// True when the temporary folder's own entry is a symbolic link. Previews
// are then neither written nor deleted through it: its target may be any
// folder, another user's included.
bool temporaryFolderIsALink(const QString &tempFolder);

// The preview pages one preview wrote, each known by its file's identity
// (device and inode) as it was just after writing. Closing the preview
// deletes exactly these: not another program's files in the temporary
// folder, and not a page of the same name that a second instance has
// written since (its save made a new file).
class PreviewPageFiles {
public:
    PreviewPageFiles() = default;

    // Records the named files of folder as they are now. A name that is
    // not a regular file there (missing, a link, a folder) is not recorded.
    static PreviewPageFiles record(const QString &folder, const QStringList &names);

    // Deletes each recorded file that is still the one recorded, through
    // the folder recorded: nothing when the folder has been replaced (by a
    // link, say) since. Never follows a link. Returns the names deleted and
    // forgets the record.
    QStringList remove();

    QStringList names() const;
    bool isEmpty() const { return m_files.empty(); }

private:
    struct File {
        QString name;
        dev_t device = 0;
        ino_t inode = 0;
    };
    QString m_folder;
    dev_t m_folderDevice = 0;
    ino_t m_folderInode = 0;
    std::vector<File> m_files;
};

} // namespace zelmora
