#pragma once

#include <QString>
#include <QStringList>

namespace zelmora {

// Deletes the plain files directly in the temporary folder: not subfolders,
// not hidden files (names starting with "."), nothing that is not a regular
// file or a link (a FIFO is never opened). A symbolic link is removed as a
// link; its target is never touched. A file that cannot be deleted is
// skipped. Returns the names that were deleted.
// ownPages are the names of the pages the preview wrote; they go even when
// they start with "." (a title may), under the same rules of kind.
QStringList removePreviewFiles(const QString &tempFolder, const QStringList &ownPages = {});

} // namespace zelmora
