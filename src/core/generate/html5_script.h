#pragma once

#include <QByteArray>
#include <QString>

namespace zelmora {

// The files an HTML5 set is written with, beside its pages: the one script
// of the set (for the author's page and for the set's own pages) and the
// pages' style. Scripts and style come from files, never inline, so that a
// set works whole on a site that allows only its own files
// (Content-Security-Policy: default-src 'self').
QString html5ScriptFileName(const QString &title);
QString html5StyleFileName(const QString &title);

// The set's script, ASCII only so that it reads the same whatever encoding
// the page that loads it has. Loaded by the author's page, it opens the set
// in a dialog of that page on a plain click of a link to page 1; loaded by a
// page of the set (data-page="k" on its script element), it makes 閉じる go
// back to where the visitor was.
QByteArray html5SetScript(const QString &title, const QString &ext);

// A JavaScript string literal holding text, in ASCII: anything else, and
// every character that could end the string or a script element, as \uXXXX.
QString javaScriptString(const QString &text);

} // namespace zelmora
