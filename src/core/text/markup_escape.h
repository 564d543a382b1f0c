#pragma once

#include <QString>

namespace zelmora {

// Text as page markup holds it, and back. Both page formats write a name (a
// title, a file name, an alternative text) with '&', '<', '>' and '"' as
// entities, so that it can neither end its attribute nor start a tag; the
// HTML5 pages also write '\'' as "&#39;". A page text is the author's own
// markup and is never escaped.
QString escapeName(const QString &name);
QString escapeHtml(const QString &text);

// The reverse of escapeName: exactly its four entities, every other '&'
// left as it stands.
QString unescapeName(const QString &markup);
// The reverse of escapeHtml: its entities, "&apos;", and decimal and
// hexadecimal character references.
QString unescapeHtml(const QString &markup);

// A CP932 page holds a character the code page cannot as a decimal
// reference ("😀" becomes "&#128512;"). This turns exactly those references
// back into their characters and leaves every other piece of text as it
// stands.
//
// A reference is decoded only in the form the page writer produces: "&#", one
// to seven decimal digits without a leading zero, ";", naming a character
// (not a surrogate, not above U+10FFFF) that CP932 cannot encode. So "&#65;"
// or "&#12354;" typed by the user stay as typed, since the writer would have
// written "A" or "あ" for those characters. The one case that cannot be told
// apart, a user who typed "&#128512;" literally, comes back as the emoji;
// both give the same bytes when the set is written again, which is what
// matters for the page.
QString decodeUnencodableReferences(const QString &text);

} // namespace zelmora
