#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/places/program_paths.h"

#include <QDialog>

class QListWidget;
class QListWidgetItem;

namespace zelmora {

// Form2: lists the .htm and .html files of the output folder; choosing one
// reads its set into the editor and closes the window.
class SetPicker : public QDialog {
    Q_OBJECT
public:
    SetPicker(QWidget *parent, Editor &editor, EditorState &state, const ProgramPaths &paths,
              Desktop &desktop);

private:
    void choose(QListWidgetItem *item);

    Editor &m_editor;
    EditorState &m_state;
    const ProgramPaths &m_paths;
    Desktop &m_desktop;
    QListWidget *m_files = nullptr; // File1
    bool m_chosen = false;
};

// The open command (Sel_FleName): shows the picker modally beside the main
// window and returns when it is closed.
void showSetPicker(QWidget *mainWindow, Editor &editor, EditorState &state,
                   const ProgramPaths &paths, Desktop &desktop);

// The names File1 lists: the plain files of the folder ending in .htm or
// .html in any letter case, names starting with "." among them, sorted by
// name without regard to case.
QStringList setPickerFileNames(const QString &folder);

} // namespace zelmora
