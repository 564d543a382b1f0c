// The preview module: the only code that links the web engine.

#include "ui/preview_guest/preview_browser.h"
#include "core/model/texts.h"
#include "core/preview/preview_sandbox.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QObject>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QQuickWindow>
#include <QUrl>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace zelmora {
namespace {

// A link the user clicked: handed to the system as linkForSystem gives it,
// or refused with a message over the preview.
void openClickedLink(QWidget *window, const QUrl &url)
{
    if (const std::optional<QUrl> link = linkForSystem(url)) {
        QDesktopServices::openUrl(*link);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Information, window->windowTitle(),
                                linkRefusedMessage(url), QMessageBox::Ok, window);
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open(); // not exec(): the engine is inside its own call here
}

// Every request of a preview page passes here: only the preview pages'
// own folder and the pictures beside it are read.
class PreviewRequestFilter : public QWebEngineUrlRequestInterceptor {
public:
    void setPageFolder(const QString &folder) { m_pageFolder = folder; }
    void interceptRequest(QWebEngineUrlRequestInfo &info) override
    {
        if (!previewMayLoad(info.requestUrl(), m_pageFolder))
            info.block(true);
    }

private:
    QString m_pageFolder;
};

// A preview page is a sandbox: a page text is written as markup, and a set
// on disk may come from anyone. No script runs, nothing is loaded but the
// preview pages and their pictures, and the page never navigates by itself.
// A link the user clicks opens in the system browser instead of replacing
// the preview; with scripts off, a click is always the user's own.
class PreviewPage : public QWebEnginePage {
public:
    explicit PreviewPage(QWidget *view) : QWebEnginePage(view), m_view(view)
    {
        QWebEngineSettings *s = settings();
        s->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalStorageEnabled, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::PdfViewerEnabled, false);
        s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
        s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
        s->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        setUrlRequestInterceptor(&m_filter);
        // A link with a target opens no new window; a clicked one goes to
        // the system browser like any other.
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest &request) {
                    if (request.isUserInitiated())
                        openClickedLink(m_view->window(), request.requestedUrl());
                });
    }
    ~PreviewPage() override { setUrlRequestInterceptor(nullptr); }

    // The folder of the page about to be shown: what its requests may read.
    void setPageFolder(const QString &pageFolder) { m_filter.setPageFolder(pageFolder); }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (type == NavigationTypeLinkClicked) {
            if (isMainFrame)
                openClickedLink(m_view->window(), url);
            return false;
        }
        // Only the browser's own loads (navigate() below) are typed; the
        // page's own navigations are not: a meta refresh (a redirect),
        // frames, form submissions, reloads and history moves.
        return isMainFrame && type == NavigationTypeTyped;
    }

private:
    QWidget *m_view;
    PreviewRequestFilter m_filter;
};

class WebEngineBrowser : public PreviewBrowser {
public:
    explicit WebEngineBrowser(QWidget *parent) : m_view(new QWebEngineView(parent))
    {
        m_page = new PreviewPage(m_view);
        m_view->setPage(m_page);
        // A Shift-JIS page declares no character set.
        m_view->settings()->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        // The view owns this object's lifetime: it goes with the window.
        QObject::connect(m_view, &QObject::destroyed, [this] { delete this; });
    }

    QWidget *widget() override { return m_view; }
    void onFailure(std::function<void(const QString &)> failed) override
    {
        // A crashed or killed page process leaves a blank view that would
        // never show a page again.
        QObject::connect(m_page, &QWebEnginePage::renderProcessTerminated, m_view,
                         [failed](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                             if (status != QWebEnginePage::NormalTerminationStatus)
                                 failed(Texts::tr("ページを表示するプロセスが異常終了しました。"));
                         });
    }
    void navigate(const QString &absolutePath) override
    {
        m_page->setPageFolder(QFileInfo(absolutePath).absolutePath());
        // The engine guesses the character set of a local file before it
        // falls back to the default encoding, and a page with a few Japanese
        // characters is guessed wrong. So the page is handed over with its
        // character set, and with its own location as the base for the
        // pictures it names.
        const QUrl url = QUrl::fromLocalFile(absolutePath);
        QFile file(absolutePath);
        if (file.size() <= kMaxInlinePage && file.open(QIODevice::ReadOnly)) {
            const QByteArray page = file.readAll();
            // A UTF-8 page starts with its byte-order mark; any other is Shift-JIS.
            const bool utf8 = page.startsWith("\xEF\xBB\xBF");
            m_view->setContent(page,
                               utf8 ? QStringLiteral("text/html;charset=UTF-8")
                                    : QStringLiteral("text/html;charset=Shift_JIS"),
                               url);
        } else
            m_view->load(url);
    }

private:
    // setContent() carries the page as a data URL, which is limited in size.
    static constexpr qint64 kMaxInlinePage = 1 << 20;
    QWebEngineView *m_view;
    PreviewPage *m_page;
};

QLoggingCategory::CategoryFilter previousLogFilter = nullptr;

// The engine's start-up log describes the shared GL context without asking
// whether there is one, and crashes when there is none.
void quietEngineContextLog(QLoggingCategory *category)
{
    if (previousLogFilter)
        previousLogFilter(category);
    if (qstrcmp(category->categoryName(), "qt.webenginecontext") == 0) {
        category->setEnabled(QtDebugMsg, false);
        category->setEnabled(QtInfoMsg, false);
    }
}

// Whether the context Qt shares between all contexts (asked for with
// Qt::AA_ShareOpenGLContexts) can be used: it is missing without a
// platform that has GL, and made but unusable with a missing or broken
// driver, which is no better than none.
bool sharedContextUsable()
{
    QOpenGLContext *shared = QOpenGLContext::globalShareContext();
    if (!shared || !shared->isValid())
        return false;
    QOffscreenSurface surface;
    surface.setFormat(shared->format());
    surface.create();
    if (!surface.isValid() || !shared->makeCurrent(&surface))
        return false;
    shared->doneCurrent();
    return true;
}

// Without a usable shared GL context (no display, a platform without GL, a
// missing or broken driver) the engine would crash on its first page. Qt
// Quick, which draws the view, and Chromium then both render in software.
// This must happen before the engine starts, which is at the first view.
void renderInSoftwareWithoutOpenGL()
{
    if (sharedContextUsable())
        return;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.split(' ').contains("--disable-gpu"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
                flags.isEmpty() ? "--disable-gpu" : flags + " --disable-gpu");
    previousLogFilter = QLoggingCategory::installFilter(quietEngineContextLog);
}

} // namespace

class WebEngineBrowserFactory : public QObject, public PreviewBrowserFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZelmoraPreviewBrowserFactory_iid)
    Q_INTERFACES(zelmora::PreviewBrowserFactory)
public:
    WebEngineBrowserFactory()
    {
        renderInSoftwareWithoutOpenGL();
        // On Linux the engine keeps the page out of the accessibility tree
        // unless told otherwise, so a screen reader would find the preview
        // empty. It still builds the tree only while one is listening.
        if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY"))
            qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
    }
    PreviewBrowser *createBrowser(QWidget *parent) override { return new WebEngineBrowser(parent); }
};

} // namespace zelmora

#include "webengine_browser.moc"
