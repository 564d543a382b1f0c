#include "preview/preview_command.h"

#include "editor/ui_support.h"
#include "preview/preview_browser.h"
#include "preview/preview_pages.h"
#include "preview/preview_window.h"

#include <QCoreApplication>
#include <QPluginLoader>

namespace zelmora {

PreviewBrowserFactory *loadPreviewModule(QString *errorString)
{
    // Loaded once and never unloaded: the engine stays up for later previews.
    static QPluginLoader loader(QCoreApplication::applicationDirPath()
                                + QStringLiteral("/zelmora_preview"));
    QObject *instance = loader.instance();
    auto *factory = qobject_cast<PreviewBrowserFactory *>(instance);
    if (!factory && errorString)
        *errorString = loader.errorString();
    return factory;
}

void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop)
{
    runPreviewCommand(mainWindow, editor, state, paths, desktop, nullptr);
}

void runPreviewCommand(QWidget *mainWindow, Editor &editor, EditorState &state,
                       const ProgramPaths &paths, Desktop &desktop,
                       PreviewBrowserFactory *factory)
{
    const PageSet set = editor.pageSet();
    if (const auto c = forbiddenTitleCharacter(set.title)) {
        desktop.warning(forbiddenTitleMessage(*c));
        return;
    }
    if (auto error = WritePreviewPages(set, state, paths)) {
        desktop.warning(error->writeMessage());
        return;
    }
    if (pageCount(set) == 0)
        return;

    auto *window = mainWindow->findChild<PreviewWindow *>(QStringLiteral("Form3"),
                                                          Qt::FindDirectChildrenOnly);
    if (!window) {
        QString reason;
        if (!factory)
            factory = loadPreviewModule(&reason);
        if (!factory) {
            desktop.warning(QStringLiteral("プレビュー機能を読み込めませんでした。\n理由: ") + reason);
            return;
        }
        window = new PreviewWindow(*factory, editor, paths.StrTempFolder_S, mainWindow);
    }
    placeAt(window, mainWindow, 360, 2895);
    window->start(state.StrTitle_S);
    window->exec();
}

} // namespace zelmora
