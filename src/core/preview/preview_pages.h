#pragma once

#include "core/model/page_set.h"
#include "core/places/program_paths.h"
#include "core/generate/popup_page.h"

#include <optional>

namespace zelmora {

// The relative path from the temporary folder to the pictures.
inline const QString kPreviewPicturePath = QStringLiteral("../Popleaf/");
inline const QString kPreviewExtension = QStringLiteral(".htm");

// The 17 lines of a preview page (18 in UTF-8, with the charset declaration): a popup page without scripts, buttons,
// robots line and home link, its pictures reached through "../Popleaf/".
// body is the preview body attribute (previewBodyAttribute()).
QStringList previewPageLines(const QString &title, int k, const QString &body, const Page &page,
                             PageEncoding encoding = PageEncoding::ShiftJis);

QString previewBodyAttribute(const PageSet &set);

// Writes preview pages 1..n of the set into the temporary folder (created if
// missing), as title_k.htm in the encoding the created pages would have, and records lastTitle and the contents
// descriptions of the pages written (HTML5 pages when format says so, always
// in UTF-8). Stops at the first page that cannot be
// written and returns its error. The names of the pages written go into
// written, when given.
std::optional<FileError> writePreviewPages(const PageSet &set, EditorState &state,
                                           const ProgramPaths &paths,
                                           PageEncoding encoding = PageEncoding::ShiftJis,
                                           PageFormat format = PageFormat::Classic,
                                           QStringList *written = nullptr);

} // namespace zelmora
