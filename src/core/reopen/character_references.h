#pragma once

#include <QString>

namespace zelmora {

// The popup pages are CP932 text, and the page writer puts a character the
// code page cannot hold into the file as a decimal reference ("😀" becomes
// "&#128512;"). This turns exactly those references back into their
// characters and leaves every other piece of text as it stands.
//
// A reference is decoded only in the form the writer produces: "&#", one to
// seven decimal digits without a leading zero, ";", naming a character
// (not a surrogate, not above U+10FFFF) that CP932 cannot encode. So "&#65;"
// or "&#12354;" typed by the user stay as typed, since the writer would have
// written "A" or "あ" for those characters. The one case that cannot be told
// apart, a user who typed "&#128512;" literally, comes back as the emoji;
// both give the same bytes when the set is written again, which is what
// matters for the page.
QString decodeUnencodableReferences(const QString &text);

} // namespace zelmora
