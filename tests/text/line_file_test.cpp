#include "text/line_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zelmora;

namespace {

QStringList readLines(const QString &path, bool *opened = nullptr)
{
    QStringList lines;
    const bool ok = readCp932Lines(path, [&](const QString &line) {
        lines << line;
        return true;
    });
    if (opened)
        *opened = ok;
    return lines;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(LineFile, writesCrLfAfterEveryLineWithoutBom)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.htm"));
    ASSERT_FALSE(writeCp932Lines(path, {QStringLiteral("<html>"), QStringLiteral("次へ")}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("<html>\r\n\x8E\x9F\x82\xD6\r\n"));
}

TEST(LineFile, failedWriteKeepsTheOldFileAndNamesTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/a.htm"));
    const auto error = writeCp932Lines(path, {QStringLiteral("x")});
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, path);
    EXPECT_FALSE(error->reason.isEmpty());
    EXPECT_TRUE(error->writeMessage().contains(path));

    // A folder in the way of the file: refused, the folder stays.
    const QString blocked = dir.filePath(QStringLiteral("b.htm"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_TRUE(writeCp932Lines(blocked, {QStringLiteral("x")}));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}

TEST(LineFile, readsEveryKindOfLineEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    writeBytes(path, QByteArray("a\r\nb\nc\rd\r\n\r\ne"));
    EXPECT_EQ(readLines(path), (QStringList{"a", "b", "c", "d", "", "e"}));
}

TEST(LineFile, stopsWhenAskedTo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    writeBytes(path, QByteArray("1\r\n2\r\n3\r\n"));
    QStringList seen;
    readCp932Lines(path, [&](const QString &line) {
        seen << line;
        return line != QStringLiteral("2");
    });
    EXPECT_EQ(seen, (QStringList{"1", "2"}));
}

TEST(LineFile, opensOnlyRegularFiles)
{
    QTemporaryDir dir;
    bool opened = true;
    readLines(dir.path(), &opened);
    EXPECT_FALSE(opened) << "a folder";
    readLines(dir.filePath(QStringLiteral("none")), &opened);
    EXPECT_FALSE(opened) << "a missing file";
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    readLines(fifo, &opened); // must not wait for a writer
    EXPECT_FALSE(opened) << "a FIFO";
    const QString link = dir.filePath(QStringLiteral("zero"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), link));
    readLines(link, &opened);
    EXPECT_FALSE(opened) << "a link to a device";
}

TEST(LineFile, skipsLinesLongerThanTheLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    writeBytes(path, "a\n" + QByteArray(kMaxLineBytes + 10, 'x') + "\nb\n");
    EXPECT_EQ(readLines(path), (QStringList{"a", "b"}));
}
