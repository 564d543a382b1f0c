#pragma once

#include <QString>

namespace zelmora::bench {

// Page 1 of the six-page set's preview, written by the program's own
// preview writer under programFolder; returns its path.
QString writePreviewPage(const QString &programFolder);

// A folder holding small.jpg (150 x 115, a standard picture) and
// big.jpg (8000 x 8000), both photographs in all but content.
bool writePictures(const QString &folder);

} // namespace zelmora::bench
