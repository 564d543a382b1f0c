#pragma once

// The preview window in the test's own process, its browser from a factory
// (a recording browser, or the web engine's module), in the preview
// process's stead: the command's road is the program's, the window modal.

#include "ui/kit/form_layout.h"
#include "ui/preview/preview_client.h"
#include "ui/preview/preview_command.h"
#include "ui/preview_guest/preview_browser.h"
#include "ui/preview_guest/preview_window.h"

#include <QWidget>

namespace zelmora::test {

class InProcessPreview final : public PreviewHost {
public:
    InProcessPreview(QWidget *mainWindow, PreviewBrowserFactory &factory) :
        m_mainWindow(mainWindow), m_factory(factory)
    {
    }

    std::optional<QString> show(PreviewRequest request) override
    {
        auto *window = m_mainWindow->findChild<PreviewWindow *>(QStringLiteral("Form3"), Qt::FindDirectChildrenOnly);
        if (!window)
            window = new PreviewWindow(m_factory, request.folder, m_mainWindow);
        placeAt(window, m_mainWindow, 360, 2895);
        window->start(request.title, request.lastPage);
        window->exec();
        return std::nullopt;
    }

private:
    QWidget *m_mainWindow;
    PreviewBrowserFactory &m_factory;
};

inline void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state, const ProgramPaths &paths,
                              Desktop &desktop, PreviewBrowserFactory *factory)
{
    InProcessPreview host(mainWindow, *factory);
    zelmora::runPreviewCommand(mainWindow, editor, state, paths, desktop, host);
}

} // namespace zelmora::test
