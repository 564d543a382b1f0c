#pragma once

#include "core/model/page_set.h"
#include "core/places/program_paths.h"
#include "core/generate/set_writer.h"

#include <optional>

namespace zelmora {

// The relative path from the temporary folder to the pictures.
inline const QString kPreviewPicturePath = QStringLiteral("../Popleaf/");
inline const QString kPreviewExtension = QStringLiteral(".htm");

// Writes preview pages 1..n of the set into the temporary folder (created if
// missing), as title_k.htm in writer's format and encoding, the ones the
// created pages would have, and records lastTitle and the contents
// descriptions of the pages written. Stops at the first page that cannot be
// written and returns its error. The names of the pages written go into
// written, when given.
std::optional<FileError> writePreviewPages(const PageSet &set, EditorState &state,
                                           const ProgramPaths &paths, const SetWriter &writer,
                                           QStringList *written = nullptr);

} // namespace zelmora
