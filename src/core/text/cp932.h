#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zelmora {

// Encodes text as Windows code page 932 (Shift-JIS). A character that the
// code page cannot hold is written as an HTML decimal reference ("&#128512;"),
// so a browser still shows it; no character is ever lost or replaced by "?".
QByteArray encodeCp932(const QString &text);

// Decodes code page 932 bytes. Never fails: bytes that are not valid CP932
// become U+FFFD.
QString decodeCp932(QByteArrayView bytes);

// True when every character of the text has a CP932 code of its own, so that
// it is written without a character reference.
bool isCp932Encodable(const QString &text);

} // namespace zelmora
