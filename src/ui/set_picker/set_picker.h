#pragma once

#include <QDialog>

#include <functional>

class QListWidget;
class QListWidgetItem;

namespace zelmora {

using ReadChosenSet = std::function<void(const QString &fileName)>;

// Form2: lists the .htm and .html files of folder; choosing one calls read
// with its name, once, and then closes the window.
class SetPicker : public QDialog {
    Q_OBJECT
public:
    SetPicker(QWidget *parent, const QString &folder, ReadChosenSet read);

private:
    void choose(QListWidgetItem *item);

    ReadChosenSet m_read;
    QListWidget *m_files = nullptr; // File1
    bool m_chosen = false;
};

// Shows the picker over folder modally beside the main window and returns
// when it is closed.
void showSetPicker(QWidget *mainWindow, const QString &folder, const ReadChosenSet &read);

// The names File1 lists: the plain files of the folder ending in .htm or
// .html in any letter case, names starting with "." among them, sorted by
// name without regard to case.
QStringList setPickerFileNames(const QString &folder);

} // namespace zelmora
