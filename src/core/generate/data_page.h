#pragma once

#include "core/model/desktop.h"
#include "core/model/editor.h"
#include "core/model/page_set.h"
#include "core/files/page_lines.h"
#include "core/text/page_encoding.h"

#include <QStringList>

#include <optional>

namespace zelmora {

// The 50 + n lines of a set's data page, for pages 1..n (one more, the
// charset declaration, in UTF-8).
QStringList dataPageLines(const EditorState &state, int n,
                          PageEncoding encoding = PageEncoding::ShiftJis);

// title + "_data" + ext.
QString dataPageFileName(const QString &title, const QString &ext);

// Writes the data page of the n pages just created into the output folder.
std::optional<FileError> writeDataPageFile(int n, const EditorState &state,
                                           const QString &outFolder,
                                           PageEncoding encoding = PageEncoding::ShiftJis);

// The closing steps once the data page is on disk: reports it, opens it with
// the desktop's program for HTML files when openAfterCreate is 1, then
// empties the title and resets the editor.
void finishDataPage(int openAfterCreate, Editor &editor, const EditorState &state,
                    const QString &outFolder, Desktop &desktop);

} // namespace zelmora
