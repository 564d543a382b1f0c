#include "ui/publish/publish_road.h"

#include "core/generate/create_command.h"
#include "core/model/texts.h"
#include "core/publish/publish_command.h"
#include "core/reopen/page_reader.h"
#include "core/settings/settings_file.h"
#include "ui/publish/keyring.h"
#include "ui/publish/progress_window.h"
#include "ui/publish/site_dialog.h"

#include <QCoreApplication>
#include <QMenu>
#include <QShortcut>

namespace zelmora {

namespace {

QString secretKey(const PublishSite &site, bool passphrase)
{
    return site.identity()
        + (passphrase ? QStringLiteral("#passphrase") : QStringLiteral("#password"));
}

bool usesKeyFile(const PublishSite &site)
{
    return site.protocol == PublishProtocol::Sftp && site.auth == PublishAuth::KeyFile;
}

bool needsSecret(const PublishSite &site)
{
    return site.protocol == PublishProtocol::Ftps || site.auth != PublishAuth::Agent;
}

// The dialog over the stored site; the site saved and its secret kept or
// forgotten as the user ticked. nullopt when cancelled or not saved.
std::optional<std::pair<PublishSite, SiteSecrets>> editSite(QWidget *parent,
                                                            const ProgramPaths &paths,
                                                            Desktop &desktop)
{
    PublishSite stored = readPublishSite(paths.settingsFile).value_or(PublishSite{});
    SiteSecrets secrets;
    if (stored.remember && readPublishSite(paths.settingsFile)) {
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

// Whether the editor holds a set that differs from its files as 作成 wrote them.
bool hasUnwrittenChanges(const PageSet &set, const QString &ext, const ProgramPaths &paths)
{
    if (pageCount(set) == 0)
        return false;
    PageSet start;
    start.title = set.title;
    const ReadOutcome written = readPageSetFiles(paths.outputFolder, set.title, ext, start);
    return written.pagesRead == 0 || written.set != set;
}

} // namespace

void runPublishRoad(QWidget *parent, Editor &editor, EditorState &state, const ProgramPaths &paths,
                    Desktop &desktop, PublishStart start)
{
    if (start == PublishStart::EditSite) {
        editSite(parent, paths, desktop);
        return;
    }
    QString ext = state.extension;
    if (ext.isEmpty())
        ext = readStoredSettings(paths.settingsFile).KakucyosiSettei.trimmed()
                == QStringLiteral("1")
            ? QStringLiteral(".html")
            : QStringLiteral(".htm");
    if (hasUnwrittenChanges(editor.pageSet(), ext, paths)) {
        if (!desktop.question(
                Texts::tr("作成していない変更があります。作成してから公開しますか？")))
            return;
        runCreateCommand(editor, state, paths, desktop);
        // A creation that failed has said why and left the editor as it was.
        if (pageCount(editor.pageSet()) != 0
            && hasUnwrittenChanges(editor.pageSet(), state.extension, paths))
            return;
        ext = state.extension;
    }
    PublishRequest request;
    request.title = editor.pageSet().title.isEmpty() ? state.lastTitle : editor.pageSet().title;
    request.ext = ext;
    request.sendAll = start == PublishStart::SendAll;
    if (request.title.isEmpty()) {
        desktop.warning(Texts::tr("公開するセットのタイトル名を入力してください。"));
        return;
    }

    if (auto site = readPublishSite(paths.settingsFile)) {
        request.site = *site;
        if (needsSecret(*site)) {
            const bool passphrase = usesKeyFile(*site);
            const auto kept
                = site->remember ? Keyring::read(secretKey(*site, passphrase)) : std::nullopt;
            if (kept)
                (passphrase ? request.secrets.passphrase : request.secrets.password) = *kept;
            else if (!askSecret(parent, *site, &request.secrets))
                return;
        }
    } else if (auto edited = editSite(parent, paths, desktop)) {
        request.site = edited->first;
        request.secrets = edited->second;
    } else {
        return;
    }

    ProgressWindow progress(parent);
    runPublishCommand(request, paths, desktop, progress);
}

void addPublishMenu(QWidget *button, const std::function<void(PublishStart)> &run)
{
    const auto show = [button, run](const QPoint &at) {
        QMenu menu(button);
        menu.setObjectName(QStringLiteral("PublishMenu"));
        QAction *site = menu.addAction(Texts::tr("公開先の設定(&E)..."));
        QAction *all = menu.addAction(Texts::tr("すべてのファイルを公開(&A)"));
        QAction *chosen = menu.exec(at);
        if (chosen == site)
            run(PublishStart::EditSite);
        else if (chosen == all)
            run(PublishStart::SendAll);
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
