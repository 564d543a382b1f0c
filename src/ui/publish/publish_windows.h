#pragma once

#include "core/model/desktop.h"
#include "core/places/program_paths.h"
#include "core/publish/publish_site.h"

#include <functional>
#include <optional>

class QWidget;

namespace zelmora {

// The site settings dialog over the site stored in the settings file, owned
// by parent: the site saved, and its secrets kept in or removed from the
// keyring as the user ticked 記憶する. nullopt when cancelled or not saved.
std::optional<std::pair<PublishSite, SiteSecrets>> editPublishSiteWindow(QWidget *parent,
                                                                         const ProgramPaths &paths,
                                                                         Desktop &desktop);

// The password or passphrase site needs: from the keyring when the user
// asked it to keep it, otherwise asked in a box owned by parent. false when
// the user cancelled.
bool publishSecretsWindow(QWidget *parent, const PublishSite &site, SiteSecrets *secrets);

// The 公開 button's context menu: 公開先の設定… runs editSite, すべてのファイルを
// 公開 sendAll.
void addPublishMenu(QWidget *button, const std::function<void()> &editSite,
                    const std::function<void()> &sendAll);

} // namespace zelmora
