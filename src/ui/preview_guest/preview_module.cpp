#include "ui/preview_guest/preview_module.h"

#include "core/places/program_paths.h"
#include "ui/preview_guest/preview_browser.h"

#include <QPluginLoader>

namespace zelmora {

PreviewBrowserFactory *loadPreviewModule(QString &why)
{
    // The engine renders through the context that Qt shares between all
    // contexts, which the preview process asks for before it makes its
    // application (Qt::AA_ShareOpenGLContexts in main.cpp); the module
    // draws in software where that context is missing or unusable.
    static QPluginLoader loader(previewModuleFile());
    QObject *instance = loader.instance();
    auto *factory = qobject_cast<PreviewBrowserFactory *>(instance);
    if (!factory)
        why = loader.errorString();
    return factory;
}

} // namespace zelmora
