#include "ui/set_picker/set_picker.h"

#include "core/files/file_listing.h"
#include "core/model/texts.h"
#include "ui/kit/form_layout.h"

#include <QListWidget>

namespace zelmora {

QStringList setPickerFileNames(const QString &folder)
{
    // abc_1.HTM is listed like abc_1.htm. Names starting with "." are listed
    // too: a title may start with one, and its set must open like any other.
    return filesWithSuffixes(folder, {QLatin1StringView(".htm"), QLatin1StringView(".html")},
                             HiddenFiles::List);
}

SetPicker::SetPicker(QWidget *parent, const QString &folder, ReadChosenSet read) :
    QDialog(parent), m_read(std::move(read))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(Texts::tr("ファイル選択"));
    setFont(gothicFont(9));

    m_files = placeControl(new QListWidget(this), QStringLiteral("File1"), 120, 120, 2775, 2250);
    m_files->setFont(gothicFont(9));
    m_files->setUniformItemSizes(true);        // a large folder lists without measuring every name
    m_files->setAccessibleName(windowTitle()); // the list is the whole window
    m_files->addItems(setPickerFileNames(folder));

    // The list with the same margin on every side.
    setFixedSize(twipsSize(120 + 2775 + 120, 120 + 2250 + 120));

    connect(m_files, &QListWidget::itemClicked, this, &SetPicker::choose);
    connect(m_files, &QListWidget::itemActivated, this, &SetPicker::choose);
}

void SetPicker::choose(QListWidgetItem *item)
{
    // A double click reports both a click and an activation; the set is read once.
    if (m_chosen)
        return;
    m_chosen = true;
    // The set is read while the picker is still open, so that its message
    // shows over the picker, as the open command always has.
    m_read(item ? item->text() : QString());
    accept();
}

void showSetPicker(QWidget *mainWindow, const QString &folder, const ReadChosenSet &read)
{
    SetPicker picker(mainWindow, folder, read);
    picker.setModal(true);
    placeAt(&picker, mainWindow, 3420, 645);
    picker.exec();
}

} // namespace zelmora
