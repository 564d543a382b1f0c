#pragma once

#include <QString>
#include <QUrl>

#include <optional>

namespace zelmora {

// What a preview page may load: files in the folder of the preview pages and
// in the output folder beside it ("../Popleaf/", where its pictures are),
// judged by where they really are (links and ".." resolved), regular files
// only (a FIFO would block the engine), and data: URLs.
// Nothing from the network, no other local file. A page text is markup and a
// set on disk may come from anyone, so a page must not be able to read the
// user's files or send anything out.
bool previewMayLoad(const QUrl &url, const QString &pageFolder);

// What a link the user clicked in a preview hands to the system: an http or
// https link as it is; a mailto link reduced to its addresses and, at most,
// its subject and body, since a page may ask a mail program to attach the
// user's files (attach=, attachment=) or to copy others in; nullopt for
// anything else, which the preview refuses with linkRefusedMessage.
std::optional<QUrl> linkForSystem(const QUrl &url);
QString linkRefusedMessage(const QUrl &url);

} // namespace zelmora
