#pragma once

#include "core/files/file_error.h"
#include "core/generate/popup_page.h"
#include "core/model/editor.h"
#include "core/model/page_set.h"
#include "core/settings/settings_file.h"
#include "core/text/page_encoding.h"

#include <QStringList>

#include <memory>
#include <optional>

namespace zelmora {

// How a set is written in one page format: its pages, its data page and the
// files that go with them. The create command takes one from setWriter()
// and never asks which format it has.
class SetWriter {
public:
    virtual ~SetWriter() = default;
    virtual PageEncoding encoding() const = 0;
    // The files written beside the pages for a set of this title, whatever
    // the format: a file of another format's list that this program wrote
    // is stale once the set is written in this one.
    virtual QStringList companionFiles(const QString &title) const = 0;
    // The companion files, before the pages that use them.
    virtual std::optional<FileError> writeCompanions(const QString &folder, const QString &title,
                                                     const QString &ext,
                                                     const PageSet &set) const = 0;
    virtual std::optional<FileError> writePage(const QString &folder, const PopupPage &page,
                                               const PageSet &set) const = 0;
    virtual std::optional<FileError> writeDataPage(const QString &folder, const EditorState &state,
                                                   int n) const = 0;
    // Preview page k of set: a page of this format without its buttons,
    // script, robots line and home link, its pictures reached through
    // picturePath, in encoding().
    virtual QStringList previewPageLines(const QString &title, int k, const PageSet &set,
                                         const QString &picturePath) const = 0;
};

// The writer of the format KeishikiSettei names, in the encoding the
// format takes (classic pages in MojiCodeSettei's).
std::unique_ptr<SetWriter> setWriter(PageFormat format, PageEncoding classicEncoding);

// The writer the stored settings choose: KeishikiSettei's format, in
// MojiCodeSettei's encoding for classic pages.
std::unique_ptr<SetWriter> setWriterOf(const StoredSettings &stored);

// Every companion file any format writes for a set of this title.
QStringList allCompanionFiles(const QString &title);

// Whether the file at path is a companion file this program wrote (its
// first line is the program's own), so that it may be removed.
bool isWrittenCompanion(const QString &path);

} // namespace zelmora
