#include "core/commands/commands.h"

#include "core/model/texts.h"
#include "core/preview/preview_cleanup.h"
#include "core/preview/preview_pages.h"
#include "core/settings/settings_file.h"

namespace zelmora {

QString temporaryFolderLinkMessage(const QString &tempFolder)
{
    return Texts::tr(
               "プレビュー用の一時フォルダを使えません。\n%1\n理由: シンボリックリンクです。\n"
               "リンク先のフォルダには書き込みも削除もしません。")
        .arg(tempFolder);
}

void previewSet(const CommandContext &context)
{
    auto &[editor, state, paths, desktop, windows] = context;
    const PageSet set = editor.pageSet();
    if (const auto fault = setContentFault(set)) {
        desktop.warning(*fault);
        return;
    }
    if (temporaryFolderIsALink(paths.previewFolder)) {
        desktop.warning(temporaryFolderLinkMessage(paths.previewFolder));
        return;
    }
    // The preview is written in the format and encoding that creating the
    // set would use.
    const auto writer = setWriterOf(readStoredSettings(paths.settingsFile));
    // The pages this preview wrote, known before anything else can replace
    // them; the pages before a failed one are deleted with the rest.
    QStringList written;
    const auto error = writePreviewPages(set, state, paths, *writer, &written);
    PreviewPageFiles pages = PreviewPageFiles::record(paths.previewFolder, written);
    if (error) {
        pages.remove();
        desktop.warning(error->writeMessage());
        return;
    }
    if (written.isEmpty())
        return;

    PreviewRequest request;
    request.folder = paths.previewFolder;
    request.title = state.lastTitle; // the title the pages were written under
    request.extension = kPreviewExtension;
    request.lastPage = int(written.size());
    const std::optional<QString> failure = windows.showPreview(request);
    // Whatever became of the preview, the pages are this program's: it
    // wrote them and deletes them.
    pages.remove();
    if (failure)
        desktop.warning(Texts::tr("プレビューを表示できませんでした。\n理由: %1").arg(*failure));
}

} // namespace zelmora
