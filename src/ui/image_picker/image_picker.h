#pragma once

#include <QDialog>
#include <QStringList>

#include <optional>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace zelmora {

class Desktop;

// The names of the pictures in a folder that the picker lists: files (no
// folders) matching "*.gif;*.jpg;*.png;*.bmp" in any letter case, sorted by
// name without regard to case. One pass over the folder.
QStringList pictureFileNames(const QString &folder);

// Why a listed picture cannot be picked, or nullopt when it can. Its name
// goes into a page line as src="name": a control character (a line break
// among them) would split the line, a double quote would end the value, and
// a name that is not valid UTF-8 (listed with U+FFFD in its place) names
// no file the page could link to.
std::optional<QString> unusablePictureReason(const QString &folder, const QString &name);

// Form5: lists the pictures of the output folder and previews the selected
// one. The pick is the last file selected; closing the window in any way
// keeps it. A file whose name cannot stand in a page is listed, but
// selecting it shows why it cannot be picked and keeps the earlier pick.
// Pictures from elsewhere come in by a drop or through the desktop's file
// dialog (ほかの場所から追加…), copied into the output folder.
class ImagePicker : public QDialog {
    Q_OBJECT
public:
    // Its messages go to desktop, which must outlive it.
    ImagePicker(Desktop &desktop, const QString &outFolder, QWidget *parent = nullptr);

    // The file name picked, without folder; empty until a file is selected.
    const QString &pickedName() const { return m_pickedName; }

    // Pictures dropped or chosen from outside are copied into the output
    // folder on a worker thread; when they are in, the list is read again
    // and the first is selected as a click would.
    void importPictures(const QStringList &files);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Lists the output folder; an empty list says how to add pictures.
    void listPictures();
    void takeSelection();
    // Selects the row of the current pick again (none when nothing is
    // picked), without taking it as a new selection or moving the current
    // row.
    void reselectPick();
    // Shows the picture at its own size from the preview's corner, decoding
    // only the part that the frame leaves visible.
    void showPicture(const QString &path);

    Desktop &m_desktop;
    QString m_outFolder;
    QString m_pickedName;
    QListWidget *m_files = nullptr;
    QGroupBox *m_frame = nullptr;
    QLabel *m_image = nullptr;
    QLabel *m_emptyHint = nullptr;
    QPushButton *m_import = nullptr;
    QPushButton *m_ok = nullptr;
};

// Shows the picker modal, placed at the given offset from the main window,
// and returns its pick (pickedName), empty when nothing was selected.
QString pickImage(QWidget *mainWindow, Desktop &desktop, const QString &outFolder, int leftTwips,
                  int topTwips);

} // namespace zelmora
