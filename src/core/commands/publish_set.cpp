#include "core/commands/commands.h"

#include "core/model/texts.h"
#include "core/reopen/page_reader.h"
#include "core/settings/settings_file.h"

namespace zelmora {

namespace {

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

bool needsSecret(const PublishSite &site)
{
    return site.protocol == PublishProtocol::Ftps || site.auth != PublishAuth::Agent;
}

void publish(const CommandContext &context, bool sendAll)
{
    auto &[editor, state, paths, desktop, windows] = context;
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
        createSet(context);
        // A creation that failed has said why and left the editor as it was.
        if (pageCount(editor.pageSet()) != 0
            && hasUnwrittenChanges(editor.pageSet(), state.extension, paths))
            return;
        ext = state.extension;
    }
    PublishRequest request;
    request.title = editor.pageSet().title.isEmpty() ? state.lastTitle : editor.pageSet().title;
    request.ext = ext;
    request.sendAll = sendAll;
    if (request.title.isEmpty()) {
        desktop.warning(Texts::tr("公開するセットのタイトル名を入力してください。"));
        return;
    }

    if (auto site = readPublishSite(paths.settingsFile)) {
        request.site = *site;
        if (needsSecret(*site) && !windows.publishSecrets(*site, &request.secrets))
            return;
    } else if (auto edited = windows.editPublishSite()) {
        request.site = edited->first;
        request.secrets = edited->second;
    } else {
        return;
    }

    const std::unique_ptr<PublishProgress> progress = windows.publishProgress();
    runPublishCommand(request, paths, desktop, *progress);
}

} // namespace

void publishSet(const CommandContext &context)
{
    publish(context, false);
}

void publishWholeSet(const CommandContext &context)
{
    publish(context, true);
}

void editPublishSite(const CommandContext &context)
{
    context.windows.editPublishSite();
}

} // namespace zelmora
