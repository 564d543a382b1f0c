#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace zelmora {

// The character encoding of the generated pages. Shift-JIS is what every set
// was written in before UTF-8 could be chosen, and stays the default: sites
// that serve those sets rely on their bytes.
enum class PageEncoding { ShiftJis, Utf8 };

// The value of the setting MojiCodeSettei: "1" is UTF-8, anything else
// (a missing key, "0", a word) Shift-JIS.
PageEncoding pageEncodingFromSetting(const QString &value);
QString settingFromPageEncoding(PageEncoding encoding);

// The two formats of a set. Classic is the format every set had before the
// choice existed, byte for byte, in either encoding; Html5 pages are UTF-8
// HTML5 with CSS, for today's browsers, phones and validators.
enum class PageFormat { Classic, Html5 };

// The value of the setting KeishikiSettei: "1" is HTML5, anything else (a
// missing key, "0", a word) the classic format.
PageFormat pageFormatFromSetting(const QString &value);

// The encoding of a set's pages: HTML5 pages are always UTF-8; classic pages
// take MojiCodeSettei.
PageEncoding pageEncodingOf(PageFormat format, const QString &encodingSetting);

// The declaration a UTF-8 page carries as the first line inside <head>.
inline const QString kUtf8Declaration = QStringLiteral("<meta charset=\"UTF-8\">");

// A UTF-8 page also starts with a byte-order mark: a browser takes the mark
// over the charset of a server's Content-Type header, and the declaration
// does not (a host that sends "charset=Shift_JIS" for older sets would
// otherwise garble it).
inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// The lines of a page in the given encoding: unchanged for Shift-JIS; for
// UTF-8 with the declaration inserted right after the first "<head>" line.
QStringList withCharsetDeclaration(QStringList lines, PageEncoding encoding);

// Each line followed by CR LF, as CP932 (a character it cannot hold as a
// decimal reference, no mark) or as UTF-8 after the byte-order mark.
QByteArray encodePageLines(const QStringList &lines, PageEncoding encoding);

// How much of a file's start is looked at for a declaration, as a browser
// does before it parses a page.
inline constexpr qsizetype kEncodingPrescanBytes = 1024;

// The encoding of a page from its first bytes: UTF-8 when they begin with
// the byte-order mark, or when a line of the head before "</head>" (within
// kEncodingPrescanBytes) is a <meta> element declaring charset UTF-8;
// otherwise Shift-JIS, as every page without a declaration was written.
PageEncoding detectPageEncoding(QByteArrayView start);

// Decodes UTF-8; malformed bytes become U+FFFD and a leading byte-order
// mark is dropped.
QString decodeUtf8(QByteArrayView bytes);

} // namespace zelmora
