#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"

class QWidget;

namespace zelmora {

class PreviewBrowserFactory;

// The preview command: writes the preview pages of the editor's set into the
// temporary folder and shows them in the one preview window (Form3, a child
// of mainWindow, made on the first preview and kept for the later ones).
// Returns when the window has been closed. A title that would leave the
// temporary folder, or a preview page that cannot be written, is reported and
// no window is shown.
void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop);

// The same with a given browser factory instead of the preview module.
void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop, PreviewBrowserFactory *factory);

// The message for a temporary folder that is a symbolic link.
QString temporaryFolderLinkMessage(const QString &tempFolder);

// The preview module beside the program, loaded on first use; nullptr with
// errorString set when it cannot be loaded.
PreviewBrowserFactory *loadPreviewModule(QString *errorString);

} // namespace zelmora
