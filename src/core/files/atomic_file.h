#pragma once

#include "core/files/file_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace zelmora {

// Writes bytes as the whole new content of path. The file is written and
// synced unnamed in path's folder (a named hidden file where the file
// system has no O_TMPFILE) and only then renamed over path, so:
// - an existing good file is replaced only once every byte is stored; a
//   failed write (a full disk among others) leaves it and no temporary file;
// - a kill while writing leaves nothing behind (with O_TMPFILE);
// - whatever path holds is replaced itself, never followed: a symbolic link
//   planted there is replaced by the file, and its target is left alone.
// A folder at path, or an existing file the user may not write, is refused.
// TemporaryFile::Named takes the named-file fallback at once (for its tests).
enum class TemporaryFile { Unnamed, Named };
std::optional<FileError> writeWholeFile(const QString &path, const QByteArray &bytes,
                                        TemporaryFile temporary = TemporaryFile::Unnamed);

} // namespace zelmora
