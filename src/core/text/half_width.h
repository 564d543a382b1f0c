#pragma once

#include <QString>

namespace zelmora {

// The half-width conversion of a page's body attribute:
// - full-width ASCII (U+FF01..U+FF5E) becomes ASCII, the ideographic space a space;
// - katakana and Japanese punctuation that have a half-width form
//   (U+FF61..U+FF9F) take it, a voiced or semi-voiced katakana becoming the
//   half-width letter followed by the half-width voicing mark;
// - everything else (hiragana, kanji, ...) is kept as it is.
QString toHalfWidth(const QString &text);

} // namespace zelmora
