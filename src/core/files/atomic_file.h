#pragma once

#include "core/files/file_error.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace zelmora {

// The one way this program writes a file. The content is written and synced
// unnamed in the file's folder (O_TMPFILE), or, where the file system has
// no O_TMPFILE or cannot give an unnamed file a name (exFAT, FAT: no hard
// links), as a named hidden file removed on every failure; only a complete,
// synced file ever gets the final name. Which ways a file system has is
// learnt from the errors of trying them, never from its name.
//
// TemporaryFile::Named takes the named-file way at once (for its tests).
enum class TemporaryFile { Unnamed, Named };

// Writes the content to the descriptor it is given, from the file's start,
// and returns 0 or the errno. It is called again, with a fresh file, when a
// first way of writing turns out not to be available here.
using ContentWriter = std::function<int(int fd)>;

// Writes bytes as the whole new content of path, renamed over it:
// - an existing good file is replaced only once every byte is stored; a
//   failed write (a full disk among others) leaves it and no temporary file;
// - a kill while writing leaves nothing behind (with O_TMPFILE);
// - whatever path holds is replaced itself, never followed: a symbolic link
//   planted there is replaced by the file, and its target is left alone.
// A folder at path, or an existing file the user may not write, is refused.
std::optional<FileError> writeWholeFile(const QString &path, const QByteArray &bytes,
                                        TemporaryFile temporary = TemporaryFile::Unnamed);

// Writes a new file at path that never replaces anything: when the name is
// taken, also by a file that appeared while the content was written, the
// error's number is EEXIST and nothing is left behind.
std::optional<FileError> writeNewFile(const QString &path, const ContentWriter &content,
                                      TemporaryFile temporary = TemporaryFile::Unnamed);

} // namespace zelmora
