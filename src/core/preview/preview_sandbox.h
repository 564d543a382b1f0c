#pragma once

#include <QString>
#include <QUrl>

namespace zelmora {

// What a preview page may load: files in the folder of the preview pages and
// in the output folder beside it ("../Popleaf/", where its pictures are),
// judged by where they really are (links and ".." resolved), and data: URLs.
// Nothing from the network, no other local file. A page text is markup and a
// set on disk may come from anyone, so a page must not be able to read the
// user's files or send anything out.
bool previewMayLoad(const QUrl &url, const QString &pageFolder);

// A link the user clicked in a preview goes to the system browser only for
// these schemes: http, https and mailto.
bool opensInSystemBrowser(const QUrl &url);

} // namespace zelmora
