#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"

class QWidget;

namespace zelmora {

class PreviewBrowserFactory;

// The preview command: writes the preview pages of the editor's set into the
// temporary folder and shows them in the preview window (Form3), which runs
// in the preview process (preview_process.h). Returns when the window has
// been closed; the main window takes no input meanwhile. A title that would
// leave the temporary folder, a preview page that cannot be written, or a
// preview process that fails is reported; the pages written are deleted in
// every case.
void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop);

// The same with the window in this process, its browser from factory.
void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop, PreviewBrowserFactory *factory);

// The message for a temporary folder that is a symbolic link.
QString temporaryFolderLinkMessage(const QString &tempFolder);

// The preview module beside the program, loaded by the preview process;
// nullptr with errorString set when it cannot be loaded.
PreviewBrowserFactory *loadPreviewModule(QString *errorString);

} // namespace zelmora
