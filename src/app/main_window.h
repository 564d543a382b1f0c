#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/model/page_set.h"
#include "core/places/program_paths.h"

#include <QCoreApplication>
#include <QWidget>

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
    // The portable layout of the given folder (the tests' temporary folders).
    explicit MainWindow(Desktop &desktop,
                        const QString &programFolder = QCoreApplication::applicationDirPath());
    // Paths chosen and created by the start-up (core/places/file_places.h).
    MainWindow(Desktop &desktop, const ProgramPaths &paths);

    PageSet pageSet() const override;
    void showPageSet(const PageSet &set) override;
    void setTitle(const QString &title) override;
    void ResetEditor() override;

    EditorState &state() { return m_state; }
    const EditorState &state() const { return m_state; }
    const ProgramPaths &paths() const { return m_paths; }
    DraftKeeper &draft() { return *m_draft; }

    // Pictures dropped on a 参照 button: copied into the output folder, the
    // first one then taken by that button's page or background as a pick.
    void importPicturesFor(QPushButton *button, const QStringList &files);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The enabled 参照 button under a point of the window, if any.
    QPushButton *browseButtonAt(const QPoint &pos) const;
    void buildControls();
    void connectCommands();
    // The picture buttons of page k, and OpenFiles_BK: the picker's pick (or
    // nothing) goes into the file name and the alternative text.
    void choosePagePicture(int k, int picture);
    void chooseBackgroundPicture();

    Desktop &m_desktop;
    EditorState m_state;
    ProgramPaths m_paths;

    QLineEdit *m_title = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_folder = nullptr;
    QPushButton *m_options = nullptr;
    QPushButton *m_help = nullptr;
    BackgroundBox *m_background = nullptr;
    PageTabs *m_tabs = nullptr;
    DraftKeeper *m_draft = nullptr;
    QPushButton *m_close = nullptr;
    QPushButton *m_preview = nullptr;
    QPushButton *m_create = nullptr;
};

} // namespace zelmora
