#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// How gtest prints a QString in a failure.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace zelmora::test {

// The expected bytes of a generated file: each line encoded as CP932 by hand
// (the test gives Japanese text as literal Shift-JIS where it matters) or as
// UTF-8 text converted through the codec under test only for ASCII.
QByteArray crlfJoin(const QList<QByteArray> &lines);

// Reads a whole file; fails the test if it cannot be read.
QByteArray readAll(const QString &path);

// Writes a whole file; fails the test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);

// Every entry of a folder by name, hidden ones included, without . and ..
QStringList entriesIn(const QString &folder);

// Compares two files' bytes and names the first differing line.
testing::AssertionResult sameBytes(const QByteArray &expected, const QByteArray &actual);

} // namespace zelmora::test

namespace zelmora::test {

// Shift-JIS bytes of UTF-8 test text through Qt's own encoder, which is
// independent of the codec under test. Only for text CP932 can hold.
QByteArray sjis(const char *utf8);

// A whole expected file from UTF-8 lines.
QByteArray sjisFile(std::initializer_list<const char *> lines);

} // namespace zelmora::test
