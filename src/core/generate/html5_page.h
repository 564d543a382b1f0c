#pragma once

// Fixed output: the lines of the HTML5 pages are the bytes of every set
// made in that format, and the page reader finds its way back by them; do
// not tidy, wrap or reorder them (formatting is off for this file).
// clang-format off

#include "core/generate/popup_page.h"

#include <QString>
#include <QStringList>

namespace zelmora {

// The size of the dialog or popup window that the pasted code opens, in CSS
// pixels; every HTML5 page is laid out to fit it.
inline constexpr int kHtml5PopupWidth = 360;
inline constexpr int kHtml5PopupHeight = 280;

// A file name as the relative URL of an href or src: characters that would
// end or change a URL's path (space, #, ?, %, quotes, controls) percent-encoded,
// everything else as it is.
QString urlOfFileName(const QString &name);

// The lines of an HTML5 popup page, without line ends. The page text goes in
// as the author typed it (markup stays markup), each line break as <br>; the
// title, file names and alternative texts are escaped. Its style and script
// come from the set's files (html5_script.h).
QStringList html5PageLines(const PopupPage &page, const PageSet &set);

// The lines of an HTML5 preview page: the popup page without its buttons,
// script, robots line and home link, its style inline and pictures reached
// through picturePath.
QStringList html5PreviewLines(const QString &title, int k, const PageSet &set,
                              const QString &picturePath);

// The set's style file (html5StyleFileName), in ASCII: what every page
// shares and the set's background with the text colour that reads on it.
QByteArray html5StyleSheet(const PageSet &set);

// The lines of the HTML5 data page for pages 1..n.
QStringList html5DataPageLines(const EditorState &state, int n);

// What the reader finds on a line of an HTML5 page.
inline const QString kHtml5TextStart = QStringLiteral("<div id=\"text\">");
inline const QString kHtml5TextEnd = QStringLiteral("</div>");
inline const QString kHtml5PictureStart = QStringLiteral("<img id=\"picture\" src=\"");
inline const QString kHtml5BodyColour = QStringLiteral("<body data-colour=\"");
inline const QString kHtml5BodyPicture = QStringLiteral("<body data-picture=\"");
inline const QString kHtml5Close = QStringLiteral("<a id=\"close\"");

} // namespace zelmora
