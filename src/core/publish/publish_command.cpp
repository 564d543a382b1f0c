#include "core/publish/publish_command.h"

#include "core/files/file_error.h"
#include "core/publish/host_trust.h"
#include "core/model/texts.h"
#include "core/publish/remote_folder.h"
#include "core/publish/sent_manifest.h"
#include "core/publish/set_files.h"

namespace zelmora {

namespace {

QString trustQuestion(const PeerIdentity &peer)
{
    if (peer.kind == PeerIdentity::Kind::SshKey)
        return Texts::tr(
                   "サーバー「%1」（ポート %2）のホスト鍵は、まだ信頼されていません。\n"
                   "種類: %3\n指紋: %4\n\n"
                   "この指紋がサーバーの管理者から知らされたものと同じときだけ、信頼してください。"
                   "このサーバーを信頼して接続しますか？")
            .arg(peer.host, QString::number(peer.port), peer.keyType, peer.fingerprint);
    return Texts::tr(
               "サーバー「%1」（ポート %2）の証明書は、システムの認証局で確認できませんでした。\n"
               "%3\n指紋: %4\n\n"
               "この証明書をこのサーバーに限って信頼し、以後はこの証明書だけを受け入れますか？")
        .arg(peer.host, QString::number(peer.port), peer.details, peer.fingerprint);
}

// The names, each in 「」, for a message.
QString nameList(const QStringList &names)
{
    return QStringLiteral("「") + names.join(QStringLiteral("」「")) + QStringLiteral("」");
}

} // namespace

PublishOutcome runPublishCommand(const PublishRequest &request, const ProgramPaths &paths,
                                 Desktop &desktop, PublishProgress &progress)
{
    PublishOutcome outcome;
    QString problem;
    const auto set = collectSetFiles(paths.outputFolder, request.title, request.ext, &problem);
    if (!set) {
        desktop.warning(problem);
        return outcome;
    }

    const HostTrust trust(hostTrustListPath(paths.settingsFile), userKnownHostsPath());
    std::atomic_bool cancel{false};
    std::optional<RemoteError> error;
    QStringList remoteNames;
    std::unique_ptr<RemoteFolder> folder;
    // The folder is listed first: that proves the server and the login, and
    // shows which stale pages lie there. A server the user trusts when asked
    // is tried once more.
    for (int attempt = 0; attempt < 2; ++attempt) {
        folder = std::make_unique<RemoteFolder>(request.site, request.secrets, trust, cancel);
        PublishWorker listing([&](PublishWorker &) { error = folder->list(&remoteNames); }, cancel);
        progress.run(listing);
        const auto &peer = folder->untrustedPeer();
        if (!error || attempt > 0 || !peer
            || (error->kind != RemoteError::Kind::UnknownHostKey
                && error->kind != RemoteError::Kind::UntrustedCertificate))
            break;
        if (!desktop.question(trustQuestion(*peer))) {
            outcome.result = PublishOutcome::Result::Declined;
            return outcome;
        }
        if (auto written = trust.trust(*peer)) {
            desktop.warning(written->writeMessage());
            return outcome;
        }
    }
    if (error) {
        outcome.result = error->kind == RemoteError::Kind::Cancelled
            ? PublishOutcome::Result::Cancelled
            : PublishOutcome::Result::Failed;
        if (outcome.result == PublishOutcome::Result::Failed)
            desktop.warning(error->message());
        return outcome;
    }

    const QString manifest = sentManifestPath(paths.settingsFile);
    SentFiles sent = readSentFiles(manifest, request.site.identity());
    const QList<SetFile> toSend = filesToSend(set->files, sent, request.sendAll);
    QStringList stale = stalePages(remoteNames, request.title, request.ext, set->pages);
    if (!stale.isEmpty()
        && !desktop.question(Texts::tr("サーバーに、前の長いセットのページ %1 が残っています。"
                                       "このセットにはもうないページです。削除しますか？")
                                 .arg(nameList(stale))))
        stale.clear();
    if (toSend.isEmpty() && stale.isEmpty()) {
        outcome.result = PublishOutcome::Result::NothingToSend;
        desktop.information(
            Texts::tr("「%1」はサーバーにあるものと同じです。送るファイルはありません。")
                .arg(request.title));
        return outcome;
    }

    qint64 total = 0;
    for (const SetFile &file : toSend)
        total += file.size;
    // The new pages first, then the stale ones go: the new last page no
    // longer links to them by then.
    PublishWorker transfer(
        [&](PublishWorker &w) {
            // What a cut connection left of an earlier publish goes first.
            for (const SetFile &file : set->files) {
                if (remoteNames.contains(temporaryName(file.name)))
                    folder->remove(temporaryName(file.name));
            }
            qint64 done = 0;
            for (const SetFile &file : toSend) {
                w.report(file.name, done, total);
                error = folder->upload(paths.outputFolder + file.name, file.name,
                                       [&](qint64 now) { w.report(file.name, done + now, total); });
                if (error)
                    return;
                done += file.size;
                outcome.sent << file.name;
            }
            for (const QString &name : stale) {
                w.report(name, done, total);
                if ((error = folder->remove(name)))
                    return;
                outcome.removed << name;
            }
        },
        cancel);
    progress.run(transfer);

    for (const QString &name : outcome.sent) {
        for (const SetFile &file : toSend) {
            if (file.name == name)
                sent.insert(name, file);
        }
    }
    for (const QString &name : outcome.removed)
        sent.remove(name);
    const auto manifestError = writeSentFiles(manifest, request.site.identity(), sent);

    if (error && error->kind == RemoteError::Kind::Cancelled) {
        outcome.result = PublishOutcome::Result::Cancelled;
        desktop.information(
            Texts::tr("公開をキャンセルしました。サーバーの古いファイルはそのままです。"
                      "（送ったファイル: %1 / %2）")
                .arg(outcome.sent.size())
                .arg(toSend.size()));
    } else if (error) {
        outcome.result = PublishOutcome::Result::Failed;
        desktop.warning(
            error->message() + u'\n'
            + Texts::tr("送り終えたファイル: %1 / %2。サーバーの古いファイルはそのままです。")
                  .arg(outcome.sent.size())
                  .arg(toSend.size()));
    } else {
        outcome.result = PublishOutcome::Result::Published;
        QString text = Texts::tr("「%1」を公開しました。送ったファイル: %2")
                           .arg(request.title)
                           .arg(toSend.size());
        if (!outcome.removed.isEmpty())
            text += u'\n' + Texts::tr("削除したページ: %1").arg(nameList(outcome.removed));
        desktop.information(text);
    }
    if (manifestError)
        desktop.warning(manifestError->writeMessage());
    return outcome;
}

} // namespace zelmora
