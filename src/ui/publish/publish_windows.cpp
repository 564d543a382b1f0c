#include "ui/publish/publish_windows.h"

#include "core/model/texts.h"
#include "ui/publish/keyring.h"
#include "ui/publish/site_dialog.h"

#include <QMenu>
#include <QShortcut>

namespace zelmora {

namespace {

QString secretKey(const PublishSite &site, bool passphrase)
{
    return site.identity()
        + (passphrase ? QStringLiteral("#passphrase") : QStringLiteral("#password"));
}

} // namespace

std::optional<std::pair<PublishSite, SiteSecrets>> editPublishSiteWindow(QWidget *parent,
                                                                         const ProgramPaths &paths,
                                                                         Desktop &desktop)
{
    // A site not saved yet has nothing in the keyring.
    const std::optional<PublishSite> saved = readPublishSite(paths.settingsFile);
    const PublishSite stored = saved.value_or(PublishSite{});
    SiteSecrets secrets;
    if (saved && saved->remember) {
        secrets.password = Keyring::read(secretKey(stored, false)).value_or(QString());
        secrets.passphrase = Keyring::read(secretKey(stored, true)).value_or(QString());
    }
    SiteDialog dialog(stored, secrets, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const PublishSite site = dialog.site();
    secrets = dialog.secrets();
    if (auto error = writePublishSite(site, paths.settingsFile)) {
        desktop.warning(error->writeMessage());
        return std::nullopt;
    }
    for (const bool passphrase : {false, true}) {
        const QString &secret = passphrase ? secrets.passphrase : secrets.password;
        if (!site.remember || secret.isEmpty()) {
            Keyring::forget(secretKey(site, passphrase));
        } else if (auto why = Keyring::store(secretKey(site, passphrase), secret)) {
            desktop.warning(
                Texts::tr("パスワードをキーリングに記憶できませんでした。\n理由: %1").arg(*why));
        }
    }
    return std::make_pair(site, secrets);
}

bool publishSecretsWindow(QWidget *parent, const PublishSite &site, SiteSecrets *secrets)
{
    const bool passphrase
        = site.protocol == PublishProtocol::Sftp && site.auth == PublishAuth::KeyFile;
    if (const auto kept
        = site.remember ? Keyring::read(secretKey(site, passphrase)) : std::nullopt) {
        (passphrase ? secrets->passphrase : secrets->password) = *kept;
        return true;
    }
    return askSecret(parent, site, secrets);
}

void addPublishMenu(QWidget *button, const std::function<void()> &editSite,
                    const std::function<void()> &sendAll)
{
    const auto show = [button, editSite, sendAll](const QPoint &at) {
        QMenu menu(button);
        menu.setObjectName(QStringLiteral("PublishMenu"));
        QAction *site = menu.addAction(Texts::tr("公開先の設定(&E)..."));
        QAction *all = menu.addAction(Texts::tr("すべてのファイルを公開(&A)"));
        QAction *chosen = menu.exec(at);
        if (chosen == site)
            editSite();
        else if (chosen == all)
            sendAll();
    };
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, button,
                     [button, show](const QPoint &pos) { show(button->mapToGlobal(pos)); });
    auto *shiftF10 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), button);
    shiftF10->setContext(Qt::WidgetShortcut);
    QObject::connect(shiftF10, &QShortcut::activated, button,
                     [button, show] { show(button->mapToGlobal(button->rect().bottomLeft())); });
}

} // namespace zelmora
