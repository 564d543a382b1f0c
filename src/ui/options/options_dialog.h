#pragma once

#include "core/settings/settings_file.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QWidget;

namespace zelmora {

class Desktop;
struct ProgramPaths;

// Form4: shows the seven stored options and writes all seven back whenever it
// closes, whatever closes it. There is no cancel.
class OptionsDialog : public QDialog {
    Q_OBJECT

public:
    // Warnings go to desktop, which must outlive the dialog.
    OptionsDialog(const QString &settingsPath, Desktop &desktop, QWidget *parent = nullptr);
    ~OptionsDialog() override;

    // The values the controls stand for, as they are written on closing.
    StoredSettings settings() const;

    // Every close (ＯＫ, the close box, Esc) ends here, so this is where the
    // options are saved.
    void done(int result) override;

private:
    void buildControls();
    void readSettings();
    void applyRobotsRule(int index);
    void saveSettings();

    QString m_settingsPath;
    Desktop &m_desktop;
    bool m_saving = false;

    QCheckBox *m_chkBrowser = nullptr;
    QButtonGroup *m_optSettei = nullptr;
    QButtonGroup *m_optKcyosi = nullptr;
    QButtonGroup *m_optMoji = nullptr;
    QButtonGroup *m_optKeishiki = nullptr;
    QLineEdit *m_textHomeName = nullptr;
    QLineEdit *m_textUrl = nullptr;
};

// Option_btn: opens Form4 modal at its place beside the main window and
// returns once it has closed and saved.
void showOptionsDialog(QWidget *mainWindow, const ProgramPaths &paths, Desktop &desktop);

} // namespace zelmora
