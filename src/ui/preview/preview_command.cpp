#include "ui/preview/preview_command.h"

#include "core/places/program_paths.h"
#include "ui/kit/form_layout.h"
#include "ui/preview/preview_browser.h"
#include "ui/preview/preview_process.h"
#include "core/preview/preview_cleanup.h"
#include "core/preview/preview_pages.h"
#include "ui/preview/preview_window.h"
#include "core/settings/settings_file.h"

#include <QCoreApplication>
#include <QOffscreenSurface>
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
// of the start-up time and 60 MB). A context that is made but cannot be made
// current (a missing or broken driver) is no better than none: the module
// then renders in software, which it decides from the missing context.
void shareContextsForTheEngine()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    QOffscreenSurface surface;
    surface.setFormat(context->format());
    surface.create();
    if (context->create() && surface.isValid() && context->makeCurrent(&surface)) {
        context->doneCurrent();
        qt_gl_set_global_share_context(context);
    } else {
        delete context;
    }
}

} // namespace

QString temporaryFolderLinkMessage(const QString &tempFolder)
{
    return QStringLiteral("プレビュー用の一時フォルダを使えません。\n") + tempFolder
        + QStringLiteral(
               "\n理由: "
               "シンボリックリンクです。\nリンク先のフォルダには書き込みも削除もしません。");
}

PreviewBrowserFactory *loadPreviewModule(QString *errorString)
{
    shareContextsForTheEngine();
    // Loaded once and never unloaded: the engine stays up for later previews.
    static QPluginLoader loader(previewModuleFile());
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
                       const ProgramPaths &paths, Desktop &desktop, PreviewBrowserFactory *factory)
{
    const PageSet set = editor.pageSet();
    if (const auto fault = setContentFault(set)) {
        desktop.warning(*fault);
        return;
    }
    if (temporaryFolderIsALink(paths.previewFolder)) {
        desktop.warning(temporaryFolderLinkMessage(paths.previewFolder));
        return;
    }
    // The preview is written in the format and encoding that creating the
    // set would use; HTML5 pages are always UTF-8.
    const StoredSettings stored = readStoredSettings(paths.settingsFile);
    const PageFormat format = pageFormatFromSetting(stored.KeishikiSettei);
    const PageEncoding encoding = format == PageFormat::Html5
        ? PageEncoding::Utf8
        : pageEncodingFromSetting(stored.MojiCodeSettei);
    const auto error = writePreviewPages(set, state, paths, encoding, format);
    // The pages this preview wrote, known before anything else can replace
    // them; the pages before a failed one are deleted with the rest.
    QStringList written;
    for (int k = 1; k <= pageCount(set); ++k) {
        const QString name = popupPageFileName(set.title, k, kPreviewExtension);
        if (error && paths.previewFolder + name == error->path)
            break;
        written << name;
    }
    PreviewPageFiles pages = PreviewPageFiles::record(paths.previewFolder, written);
    if (error) {
        pages.remove();
        desktop.warning(error->writeMessage());
        return;
    }
    if (pageCount(set) == 0)
        return;

    const int lastPage = std::max(1, pageCount(set));
    if (!factory) {
        auto *guest = mainWindow->findChild<PreviewProcess *>(QStringLiteral("PreviewProcess"),
                                                              Qt::FindDirectChildrenOnly);
        if (!guest)
            guest = new PreviewProcess(mainWindow);
        PreviewRequest request;
        request.folder = paths.previewFolder;
        request.title = state.lastTitle;
        request.extension = kPreviewExtension;
        request.lastPage = lastPage;
        request.encoding = encoding == PageEncoding::Utf8 ? QStringLiteral("UTF-8")
                                                          : QStringLiteral("Shift_JIS");
        request.position = mainWindow->frameGeometry().topLeft() + twipsPoint(360, 2895);
        const std::optional<QString> failure = guest->show(request);
        // Whatever became of the preview process, the pages are this
        // program's: it wrote them and deletes them.
        pages.remove();
        if (failure)
            desktop.warning(QStringLiteral("プレビューを表示できませんでした。\n理由: ")
                            + *failure);
        return;
    }

    // A browser factory in this process (tests stand one in for the engine).
    auto *window = mainWindow->findChild<PreviewWindow *>(QStringLiteral("Form3"),
                                                          Qt::FindDirectChildrenOnly);
    if (!window)
        window = new PreviewWindow(*factory, paths.previewFolder, mainWindow);
    placeAt(window, mainWindow, 360, 2895);
    window->start(state.lastTitle, std::move(pages), lastPage);
    window->exec();
}

} // namespace zelmora
