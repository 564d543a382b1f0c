#pragma once

#include "app/program_windows.h"
#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/model/page_set.h"
#include "core/places/program_paths.h"

#include <QWidget>

#include <optional>

class QLineEdit;
class QPushButton;

namespace zelmora {

class BackgroundBox;
class DraftKeeper;
class PageInputs;
class PageTabs;

// Form1: the editor of one page set and the commands. It owns the window-level
// values and the program paths; the commands reach the desktop through the
// Desktop it is given.
class MainWindow : public QWidget, public Editor {
    Q_OBJECT
public:
    // Paths chosen and created by the start-up (core/places/file_places.h).
    MainWindow(Desktop &desktop, const ProgramPaths &paths);

    PageSet pageSet() const override;
    void showPageSet(const PageSet &set) override;
    void setTitle(const QString &title) override;
    void resetEditor() override;

    EditorState &state() { return m_state; }
    const EditorState &state() const { return m_state; }
    const ProgramPaths &paths() const { return m_paths; }
    DraftKeeper &draft() { return *m_draft; }
    // Ends the preview at once, without a message (the program is ending).
    void endPreview();

    // Where a picked or dropped picture goes: a picture of page 1 to 6, or
    // the background (page 0).
    struct PictureTarget {
        int page = 0;
        int picture = 0; // PageInputs::kStandard or kWide, for a page
    };

    // Pictures dropped on the 参照 button of target: copied into the output
    // folder, the first one then taken by the target as a pick.
    void importPicturesFor(const PictureTarget &target, const QStringList &files);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The open 参照 button of a picture under a point of the window, if any.
    std::optional<PictureTarget> pictureTargetAt(const QPoint &pos) const;
    void buildControls();
    void connectCommands();
    // Runs command over this window's editor, state, paths and windows.
    void run(Command command);
    // A 参照 button of a picture was pressed: the picker's pick, if any, is
    // taken by the target.
    void choosePicture(const PictureTarget &target);
    // A page takes the name as its file name and its alternative text; the
    // background as its value.
    void takePicture(const PictureTarget &target, const QString &name);
    // The window active again after a modal window closed, with the focus
    // on focused, or on the title where that control is gone or closed.
    void takeFocusBack(QWidget *focused);

    Desktop &m_desktop;
    EditorState m_state;
    ProgramPaths m_paths;
    ProgramWindows m_windows;

    QLineEdit *m_title = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_folder = nullptr;
    QPushButton *m_options = nullptr;
    QPushButton *m_publish = nullptr;
    QPushButton *m_help = nullptr;
    BackgroundBox *m_background = nullptr;
    PageTabs *m_tabs = nullptr;
    DraftKeeper *m_draft = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_preview = nullptr;
    QPushButton *m_create = nullptr;
};

} // namespace zelmora
