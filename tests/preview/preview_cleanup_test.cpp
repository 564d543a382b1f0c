#include "preview/preview_cleanup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zelmora;

namespace {

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write("x");
}

} // namespace

TEST(PreviewCleanup, deletesOnlyThePlainFilesDirectlyInTheFolder)
{
    QTemporaryDir root;
    const QString temp = root.filePath(QStringLiteral("TEMP/"));
    ASSERT_TRUE(QDir().mkpath(temp + QStringLiteral("sub")));
    touch(temp + QStringLiteral("abc_1.htm"));
    touch(temp + QStringLiteral("other program.txt"));
    touch(temp + QStringLiteral(".hidden"));
    touch(temp + QStringLiteral("sub/inner.htm"));
    const QString outside = root.filePath(QStringLiteral("outside.txt"));
    touch(outside);
    ASSERT_TRUE(QFile::link(outside, temp + QStringLiteral("link.htm")));
    ASSERT_TRUE(QFile::link(root.path(), temp + QStringLiteral("folderlink")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(temp + QStringLiteral("fifo")).constData(), 0600), 0);

    const QStringList removed = removePreviewFiles(temp);

    EXPECT_EQ(removed, (QStringList{"abc_1.htm", "link.htm", "other program.txt"}));
    EXPECT_TRUE(QFileInfo::exists(temp + QStringLiteral(".hidden")));
    EXPECT_TRUE(QFileInfo::exists(temp + QStringLiteral("sub/inner.htm")));
    EXPECT_TRUE(QFileInfo::exists(outside)) << "a link's target is never touched";
    EXPECT_TRUE(QFileInfo(temp + QStringLiteral("folderlink")).isSymLink());
    EXPECT_TRUE(QFileInfo::exists(temp + QStringLiteral("fifo")));
    EXPECT_TRUE(QFileInfo(temp).isDir()) << "the folder itself stays";
}

TEST(PreviewCleanup, missingFolderIsNothingToDo)
{
    QTemporaryDir root;
    EXPECT_TRUE(removePreviewFiles(root.filePath(QStringLiteral("none/"))).isEmpty());
}

TEST(PreviewCleanup, danglingLinkIsRemovedAsALink)
{
    QTemporaryDir root;
    const QString temp = root.filePath(QStringLiteral("TEMP/"));
    ASSERT_TRUE(QDir().mkpath(temp));
    ASSERT_TRUE(QFile::link(temp + QStringLiteral("gone"), temp + QStringLiteral("dangling")));
    EXPECT_EQ(removePreviewFiles(temp), (QStringList{"dangling"}));
    EXPECT_FALSE(QFileInfo(temp + QStringLiteral("dangling")).isSymLink());
}
