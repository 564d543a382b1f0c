#pragma once

#include <QLatin1StringView>
#include <QStringList>

#include <initializer_list>

namespace zelmora {

// The names of the plain files in folder whose names end in one of the
// suffixes (".htm") in any letter case, sorted by name without regard to
// case: what QDir::entryList({"*.htm", ...}, QDir::Files, QDir::Name |
// QDir::IgnoreCase) lists (no folders, hidden files, broken links, pipes or
// devices; a link to a plain file counts as one). One readdir pass that
// looks at no name it will not list, so a folder of 10,000 files lists in a
// fraction of QDir's time. Empty when the folder cannot be read.
// With HiddenFiles::List, names starting with "." are listed as well.
enum class HiddenFiles { Skip, List };
QStringList filesWithSuffixes(const QString &folder,
                              std::initializer_list<QLatin1StringView> suffixes,
                              HiddenFiles hidden = HiddenFiles::Skip);

} // namespace zelmora
