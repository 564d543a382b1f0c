#include "core/generate/set_writer.h"

#include "core/files/atomic_file.h"
#include "core/generate/data_page.h"
#include "core/generate/html5_page.h"
#include "core/generate/html5_script.h"

#include <QFile>

namespace zelmora {

namespace {

// The first bytes of every companion file; nothing else is ever removed as
// one.
const QByteArray kCompanionStart = QByteArrayLiteral("/* Zelmora page set ");

class ClassicWriter final : public SetWriter {
public:
    explicit ClassicWriter(PageEncoding encoding) : m_encoding(encoding) {}
    PageEncoding encoding() const override { return m_encoding; }
    QStringList companionFiles(const QString &) const override { return {}; }
    std::optional<FileError> writeCompanions(const QString &, const QString &, const QString &,
                                             const PageSet &) const override
    {
        return std::nullopt;
    }
    std::optional<FileError> writePage(const QString &folder, const PopupPage &page,
                                       const PageSet &) const override
    {
        return writePopupPage(folder, page);
    }
    std::optional<FileError> writeDataPage(const QString &folder, const EditorState &state,
                                           int n) const override
    {
        return writeDataPageFile(n, state, folder, m_encoding);
    }
    QStringList previewPageLines(const QString &title, int k, const PageSet &set,
                                 const QString &picturePath) const override
    {
        return zelmora::previewPageLines(title, k, previewBodyAttribute(set, picturePath),
                                         set.page(k), picturePath, m_encoding);
    }

private:
    PageEncoding m_encoding;
};

class Html5Writer final : public SetWriter {
public:
    PageEncoding encoding() const override { return PageEncoding::Utf8; }
    QStringList companionFiles(const QString &title) const override
    {
        return {html5ScriptFileName(title), html5StyleFileName(title)};
    }
    std::optional<FileError> writeCompanions(const QString &folder, const QString &title,
                                             const QString &ext, const PageSet &set) const override
    {
        if (auto error = writeWholeFile(folder + html5StyleFileName(title), html5StyleSheet(set)))
            return error;
        return writeWholeFile(folder + html5ScriptFileName(title), html5SetScript(title, ext));
    }
    std::optional<FileError> writePage(const QString &folder, const PopupPage &page,
                                       const PageSet &set) const override
    {
        return writePageLines(folder + popupPageFileName(page.title, page.k, page.ext),
                              html5PageLines(page, set), PageEncoding::Utf8);
    }
    std::optional<FileError> writeDataPage(const QString &folder, const EditorState &state,
                                           int n) const override
    {
        return writePageLines(folder + dataPageFileName(state.lastTitle, state.extension),
                              html5DataPageLines(state, n), PageEncoding::Utf8);
    }
    QStringList previewPageLines(const QString &title, int k, const PageSet &set,
                                 const QString &picturePath) const override
    {
        return html5PreviewLines(title, k, set, picturePath);
    }
};

} // namespace

std::unique_ptr<SetWriter> setWriter(PageFormat format, PageEncoding classicEncoding)
{
    switch (format) {
    case PageFormat::Classic:
        return std::make_unique<ClassicWriter>(classicEncoding);
    case PageFormat::Html5:
        return std::make_unique<Html5Writer>();
    }
    Q_ASSERT(false); // a format without its writer
    return std::make_unique<ClassicWriter>(classicEncoding);
}

std::unique_ptr<SetWriter> setWriterOf(const StoredSettings &stored)
{
    const PageFormat format = pageFormatFromSetting(stored.KeishikiSettei);
    return setWriter(format, pageEncodingOf(format, stored.MojiCodeSettei));
}

QStringList allCompanionFiles(const QString &title)
{
    return Html5Writer().companionFiles(title);
}

bool isWrittenCompanion(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(kCompanionStart.size()) == kCompanionStart;
}

} // namespace zelmora
