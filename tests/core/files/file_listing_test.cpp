#include "core/files/file_listing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zelmora {
namespace {

class FileListingTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void writeFile(const QString &name)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QStringList listed() const
    {
        return filesWithSuffixes(dir.path(), {QLatin1StringView(".htm"), QLatin1StringView(".html")});
    }

    QStringList listedByQDir() const
    {
        return QDir(dir.path()).entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")},
                                          QDir::Files, QDir::Name | QDir::IgnoreCase);
    }

    QTemporaryDir dir;
};

TEST_F(FileListingTest, listsPlainFilesAndLinksToThem_sortedWithoutCase_likeQDir)
{
    for (const char *name : {"b.HTM", "a.htm", "C.html", "Zeta.htm", "d.htm.txt", "e.gif", "htm",
                             ".hidden.htm"})
        writeFile(QString::fromLatin1(name));
    writeFile(QString::fromUtf8("日本語.htm"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.htm")));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("a.htm")), dir.filePath(QStringLiteral("link.htm"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("gone")), dir.filePath(QStringLiteral("dead.htm"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("folder.htm")), dir.filePath(QStringLiteral("dirlink.htm"))));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.html"))).constData(), 0600), 0);

    const QStringList expected = {QStringLiteral("a.htm"), QStringLiteral("b.HTM"), QStringLiteral("C.html"),
                                  QStringLiteral("link.htm"), QStringLiteral("Zeta.htm"),
                                  QString::fromUtf8("日本語.htm")};
    EXPECT_EQ(listed(), expected);
    EXPECT_EQ(listedByQDir(), expected);
}

TEST_F(FileListingTest, manyNamesInMixedCase_sameOrderAsQDir)
{
    for (int i = 0; i < 600; ++i) {
        const QString stem = (i % 3 == 0 ? QStringLiteral("Set_%1") : i % 3 == 1 ? QStringLiteral("set%1") : QStringLiteral("_x%1"))
                                 .arg((i * 7919) % 1000);
        writeFile(stem + (i % 2 ? QStringLiteral(".htm") : QStringLiteral(".HTML")));
    }
    const QStringList names = listed();
    EXPECT_EQ(names.size(), 600);
    EXPECT_EQ(names, listedByQDir());
}

TEST_F(FileListingTest, missingOrUnnamedFolder_listsNothing)
{
    EXPECT_TRUE(filesWithSuffixes(dir.filePath(QStringLiteral("none")), {QLatin1StringView(".htm")}).isEmpty());
    EXPECT_TRUE(filesWithSuffixes(QString(), {QLatin1StringView(".htm")}).isEmpty());
}

} // namespace
} // namespace zelmora
