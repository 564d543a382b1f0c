#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/model/page_set.h"
#include "core/places/program_paths.h"

#include <optional>

namespace zelmora {

// A setting that must hold a 16-bit decimal integer; nullopt when it does not.
std::optional<int> settingAsInteger(const QString &value);

// "ポップリーフ [ abc_1.htm ] ～ [ abc_3.htm ] を作成しました｡" and the one-page form.
QString createdPagesMessage(const QString &title, const QString &ext, int n);

// The create command: writes popup pages 1..n of the editor's set and then
// its data page into the output folder with the stored settings, reports
// the pages and the data page in that order, and clears the editor. A title that would leave the output folder,
// a setting that is not a number, or a file that cannot be written is
// reported and ends the command with the editor unchanged.
void runCreateCommand(Editor &editor, EditorState &state, const ProgramPaths &paths,
                      Desktop &desktop);

} // namespace zelmora
