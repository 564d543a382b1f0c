#pragma once

#include "core/commands/commands.h"

class QWidget;

namespace zelmora {

class PreviewClient;

// The program's windows for the commands of the main window: the set
// picker, the preview process's window and the publish windows, each owned
// by or placed beside the main window.
class ProgramWindows : public CommandWindows {
public:
    ProgramWindows(QWidget *mainWindow, const ProgramPaths &paths, Desktop &desktop);

    void pickSet(const std::function<void(const QString &fileName)> &read) override;
    std::optional<QString> showPreview(PreviewRequest request) override;
    std::optional<std::pair<PublishSite, SiteSecrets>> editPublishSite() override;
    bool publishSecrets(const PublishSite &site, SiteSecrets *secrets) override;
    std::unique_ptr<PublishProgress> publishProgress() override;

    // Ends the preview at once, without a message (the program is ending).
    void endPreview();

private:
    QWidget *m_mainWindow;
    const ProgramPaths &m_paths;
    Desktop &m_desktop;
    PreviewClient *m_previewClient = nullptr; // made by the first preview
};

} // namespace zelmora
