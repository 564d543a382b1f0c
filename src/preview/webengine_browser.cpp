// The preview module: the only code that links the web engine.

#include "preview/preview_browser.h"

#include <QDesktopServices>
#include <QFile>
#include <QObject>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace zelmora {
namespace {

// A link typed into a page's text opens in the system browser instead of
// replacing the preview.
class PreviewPage : public QWebEnginePage {
public:
    explicit PreviewPage(QObject *parent) : QWebEnginePage(parent) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override
    {
        if (type == NavigationTypeLinkClicked) {
            QDesktopServices::openUrl(url);
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }
};

class WebEngineBrowser : public PreviewBrowser {
public:
    explicit WebEngineBrowser(QWidget *parent) : m_view(new QWebEngineView(parent))
    {
        m_view->setPage(new PreviewPage(m_view));
        // A Shift-JIS page declares no character set.
        m_view->settings()->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));
        m_view->setContextMenuPolicy(Qt::NoContextMenu);
        // The view owns this object's lifetime: it goes with the window.
        QObject::connect(m_view, &QObject::destroyed, [this] { delete this; });
    }

    QWidget *widget() override { return m_view; }
    void navigate(const QString &absolutePath) override
    {
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
            m_view->setContent(page, utf8 ? QStringLiteral("text/html;charset=UTF-8")
                                          : QStringLiteral("text/html;charset=Shift_JIS"), url);
        } else
            m_view->load(url);
    }

private:
    // setContent() carries the page as a data URL, which is limited in size.
    static constexpr qint64 kMaxInlinePage = 1 << 20;
    QWebEngineView *m_view;
};

} // namespace

class WebEngineBrowserFactory : public QObject, public PreviewBrowserFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID ZelmoraPreviewBrowserFactory_iid)
    Q_INTERFACES(zelmora::PreviewBrowserFactory)
public:
    PreviewBrowser *createBrowser(QWidget *parent) override { return new WebEngineBrowser(parent); }
};

} // namespace zelmora

#include "webengine_browser.moc"
