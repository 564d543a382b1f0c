#pragma once

#include "support/test_windows.h"
#include "ui/kit/form_layout.h"
#include "ui/preview/preview_client.h"
#include "ui/preview_guest/preview_browser.h"
#include "ui/preview_guest/preview_module.h"
#include "ui/preview_guest/preview_window.h"

#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace zelmora::test {

// The preview command with the window in the test's own process, its browser
// from factory (a recording browser, or the web engine's module), in the
// preview process's stead: the command's road is the program's, the window modal.
inline void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state, const ProgramPaths &paths,
                              Desktop &desktop, PreviewBrowserFactory *factory)
{
    TestWindows windows;
    windows.preview = [mainWindow, factory](const PreviewRequest &request) -> std::optional<QString> {
        auto *window = mainWindow->findChild<PreviewWindow *>(QStringLiteral("Form3"), Qt::FindDirectChildrenOnly);
        if (!window)
            window = new PreviewWindow(*factory, request.folder, mainWindow);
        placeAt(window, mainWindow, 360, 2895);
        window->start(request.title, request.lastPage);
        window->exec();
        return std::nullopt;
    };
    previewSet({editor, state, paths, desktop, windows});
}

// The preview command through host, a preview process's client.
inline void runPreviewCommand(Editor &editor, EditorState &state, const ProgramPaths &paths, Desktop &desktop,
                              PreviewHost &host)
{
    TestWindows windows;
    windows.preview = [&host](const PreviewRequest &request) { return host.show(request); };
    previewSet({editor, state, paths, desktop, windows});
}

// The web engine's module, loaded here as the preview process loads it; a
// test or tool that needs it cannot go on without it.
inline PreviewBrowserFactory *previewModule()
{
    QString why;
    PreviewBrowserFactory *factory = loadPreviewModule(why);
    if (!factory) {
        std::fprintf(stderr, "the preview module could not be loaded: %s\n", qPrintable(why));
        std::abort();
    }
    return factory;
}

} // namespace zelmora::test
