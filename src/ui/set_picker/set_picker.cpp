#include "ui/set_picker/set_picker.h"

#include "core/files/file_listing.h"
#include "core/model/texts.h"
#include "ui/kit/form_layout.h"
#include "core/reopen/page_reader.h"
#include "core/reopen/set_name.h"

#include <QListWidget>

namespace zelmora {

QStringList setPickerFileNames(const QString &folder)
{
    // abc_1.HTM is listed like abc_1.htm. Names starting with "." are listed
    // too: a title may start with one, and its set must open like any other.
    return filesWithSuffixes(folder, {QLatin1StringView(".htm"), QLatin1StringView(".html")},
                             HiddenFiles::List);
}

SetPicker::SetPicker(QWidget *parent, Editor &editor, EditorState &state, const ProgramPaths &paths,
                     Desktop &desktop) :
    QDialog(parent),
    m_editor(editor), m_state(state), m_paths(paths), m_desktop(desktop)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(Texts::tr("ファイル選択"));
    setFont(gothicFont(9));

    m_files = placeControl(new QListWidget(this), QStringLiteral("File1"), 120, 120, 2775, 2250);
    m_files->setFont(gothicFont(9));
    m_files->setUniformItemSizes(true);        // a large folder lists without measuring every name
    m_files->setAccessibleName(windowTitle()); // the list is the whole window
    m_files->addItems(setPickerFileNames(m_paths.outputFolder));

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

    // Kept for a choice that reads nothing: the editor then gets it back.
    const PageSet previous = m_editor.pageSet();
    const QString name = item ? item->text() : QString();
    if (const std::optional<SetName> set = matchSetName(name)) {
        m_editor.setTitle(set->title);
        m_state.readExtension = set->ext;
    } else {
        // The reader then reports the file as not found; the extension of
        // the last set picked stays for the next choice.
        m_editor.setTitle(QString());
    }
    m_editor.resetEditor();
    readPageSet(m_editor, m_state, m_paths, m_desktop, &previous);
    accept();
}

void showSetPicker(QWidget *mainWindow, Editor &editor, EditorState &state,
                   const ProgramPaths &paths, Desktop &desktop)
{
    SetPicker picker(mainWindow, editor, state, paths, desktop);
    picker.setModal(true);
    placeAt(&picker, mainWindow, 3420, 645);
    picker.exec();
}

} // namespace zelmora
