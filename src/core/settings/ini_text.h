#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The text of a private-profile (INI) file as Windows' profile functions
// read and write it, so that a Zelmora.ini made or edited on Windows keeps
// working and keeps everything it holds.
namespace zelmora::ini {

// The text of a file: UTF-8 (a byte-order mark skipped), UTF-16 in either
// byte order when it starts with its mark, otherwise CP932. A UTF-8 file
// keeps its own line ends, so that it is written back byte for byte where
// nothing changed; a converted file gets CR LF after every line, as the
// whole of it is written anew.
QString decode(const QByteArray &bytes);

// The bytes written back: UTF-8 without a byte-order mark.
QByteArray encode(const QString &text);

// The value of a key as the file holds it: blanks (spaces, tabs and
// vertical tabs) around it removed and one pair of equal outer quotes taken
// off. Section and key names match without regard to letter case; only the
// first section of a name is searched and the first of equal keys wins.
// nullopt when the key or its section is missing.
std::optional<QString> findValue(QStringView text, QStringView section, QStringView key);

// Sets a key in the first section of its name, editing only the lines
// concerned: an existing key keeps its spelling and gets the new value (the
// rewritten line ends in CR LF, as the last line of a file too), a new key
// follows the last key of its section, a missing section is appended at the
// end. An empty value removes the key (every line of it in
// that section, so the key then reads as missing).
void setValue(QString &text, QStringView section, QStringView key, QStringView value);

// True for a section or key name that can be written as one line and found
// again.
bool isValidSectionName(QStringView name);
bool isValidKeyName(QStringView name);

// Spaces, tabs and vertical tabs, the only blanks the profile format trims.
QStringView trimBlanks(QStringView text);

} // namespace zelmora::ini
