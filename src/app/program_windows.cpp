#include "app/program_windows.h"

#include "ui/kit/form_layout.h"
#include "ui/preview/preview_client.h"
#include "ui/publish/progress_window.h"
#include "ui/publish/publish_windows.h"
#include "ui/set_picker/set_picker.h"

#include <QWidget>

namespace zelmora {

ProgramWindows::ProgramWindows(QWidget *mainWindow, const ProgramPaths &paths, Desktop &desktop) :
    m_mainWindow(mainWindow), m_paths(paths), m_desktop(desktop)
{
}

void ProgramWindows::pickSet(const std::function<void(const QString &fileName)> &read)
{
    showSetPicker(m_mainWindow, m_paths.outputFolder, read);
}

std::optional<QString> ProgramWindows::showPreview(PreviewRequest request)
{
    if (!m_previewClient)
        m_previewClient = new PreviewClient(m_mainWindow);
    request.position = m_mainWindow->frameGeometry().topLeft() + twipsPoint(360, 2895);
    return m_previewClient->show(request);
}

std::optional<std::pair<PublishSite, SiteSecrets>> ProgramWindows::editPublishSite()
{
    return editPublishSiteWindow(m_mainWindow, m_paths, m_desktop);
}

bool ProgramWindows::publishSecrets(const PublishSite &site, SiteSecrets *secrets)
{
    return publishSecretsWindow(m_mainWindow, site, secrets);
}

std::unique_ptr<PublishProgress> ProgramWindows::publishProgress()
{
    return std::make_unique<ProgressWindow>(m_mainWindow);
}

void ProgramWindows::endPreview()
{
    if (m_previewClient)
        m_previewClient->end();
}

} // namespace zelmora
