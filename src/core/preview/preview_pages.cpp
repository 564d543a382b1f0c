#include "core/preview/preview_pages.h"

#include "core/generate/set_writer.h"

#include <QDir>

namespace zelmora {

std::optional<FileError> writePreviewPages(const PageSet &set, EditorState &state,
                                           const ProgramPaths &paths, const SetWriter &writer,
                                           QStringList *written)
{
    QDir().mkpath(paths.previewFolder); // normally there already; a failure shows on writing
    state.lastTitle = set.title;
    const int n = pageCount(set);
    for (int k = 1; k <= n; ++k) {
        const Page &page = set.page(k);
        const QString name = popupPageFileName(set.title, k, kPreviewExtension);
        const QString path = paths.previewFolder + name;
        const auto error
            = writePageLines(path, writer.previewPageLines(set.title, k, set, kPreviewPicturePath),
                             writer.encoding());
        if (error)
            return error;
        if (written)
            *written << name;
        state.contents(k) = contentsDescription(page);
    }
    return std::nullopt;
}

} // namespace zelmora
