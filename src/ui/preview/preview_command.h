#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"

class QWidget;

namespace zelmora {

class PreviewHost;

// The preview command: writes the preview pages of the editor's set into the
// temporary folder and shows them in the preview window (Form3) through
// host. Returns when the window has been closed; the main window takes no
// input meanwhile. A title that would leave the temporary folder, a preview
// page that cannot be written, or a preview that fails is reported; the
// pages written are deleted in every case.
void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop, PreviewHost &host);

// The message for a temporary folder that is a symbolic link.
QString temporaryFolderLinkMessage(const QString &tempFolder);

} // namespace zelmora
