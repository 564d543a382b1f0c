#include "preview/preview_command.h"

#include "editor/ui_support.h"
#include "preview/preview_browser.h"
#include "preview/preview_pages.h"
#include "preview/preview_window.h"
#include "settings/settings_file.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QPluginLoader>

// Qt's own hook for the context that every later context shares; the web
// engine installs it itself only when it is linked into the program, which
// would put a GL context into every start-up.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace zelmora {
namespace {

// The engine renders through a context shared with Qt's windows. Made here,
// just before the engine loads, instead of at start-up through
// Qt::AA_ShareOpenGLContexts, which costs every start a GL driver (a third
// of the start-up time and 60 MB). Without OpenGL (the offscreen platform)
// none is made and the engine draws in software.
void shareContextsForTheEngine()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    if (context->create())
        qt_gl_set_global_share_context(context);
    else
        delete context;
}

} // namespace

PreviewBrowserFactory *loadPreviewModule(QString *errorString)
{
    shareContextsForTheEngine();
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
    // The preview is written in the encoding that creating the set would use.
    const PageEncoding encoding =
        pageEncodingFromSetting(readStoredSettings(paths.settingsFile).MojiCodeSettei);
    if (auto error = WritePreviewPages(set, state, paths, encoding)) {
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
