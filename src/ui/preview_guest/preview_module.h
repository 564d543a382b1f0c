#pragma once

#include <QString>

namespace zelmora {

class PreviewBrowserFactory;

// The preview module (zelmora_preview.so, the web engine) beside the program;
// nullptr with the loader's reason in why when it cannot be loaded. Loaded
// once, by the preview process only, and kept for its later previews.
PreviewBrowserFactory *loadPreviewModule(QString &why);

} // namespace zelmora
