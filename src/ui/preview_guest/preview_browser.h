#pragma once

#include <QString>
#include <QtPlugin>

#include <functional>

class QWidget;

namespace zelmora {

// The browser shown in the preview window. Only navigation is asked of it:
// load the local file at an absolute path in place of the current page.
class PreviewBrowser {
public:
    virtual ~PreviewBrowser() = default;
    virtual QWidget *widget() = 0;
    virtual void navigate(const QString &absolutePath) = 0;
    // Called when the browser can no longer show pages (its page process
    // ended abnormally), with the reason in the user's language.
    virtual void onFailure(std::function<void(const QString &reason)> failed) { (void)failed; }
};

// Made by the preview module, which alone links the web engine, so that the
// program starts without loading it.
class PreviewBrowserFactory {
public:
    virtual ~PreviewBrowserFactory() = default;
    // The browser's widget is created as a child of parent and owned by it.
    virtual PreviewBrowser *createBrowser(QWidget *parent) = 0;
};

} // namespace zelmora

#define ZelmoraPreviewBrowserFactory_iid "org.zelmora.PreviewBrowserFactory/2.0"
Q_DECLARE_INTERFACE(zelmora::PreviewBrowserFactory, ZelmoraPreviewBrowserFactory_iid)
