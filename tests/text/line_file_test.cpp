#include "text/line_file.h"

#include "support/file_compare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelmora;
using zelmora::test::entriesIn;
using zelmora::test::readAll;

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

// ---- replacing a file ------------------------------------------------------

namespace {

class Replace : public testing::TestWithParam<TemporaryFile> {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString at(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

} // namespace

TEST_P(Replace, linkAtThePathIsReplacedAndItsTargetLeftAlone)
{
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral(".bashrc"));
    writeBytes(victim, "victim's own\n");
    const QString missing = elsewhere.filePath(QStringLiteral("new"));
    ASSERT_TRUE(QFile::link(victim, at("a.htm")));
    ASSERT_TRUE(QFile::link(missing, at("b.htm")));

    ASSERT_FALSE(writeWholeFile(at("a.htm"), "new page\r\n", GetParam()));
    ASSERT_FALSE(writeWholeFile(at("b.htm"), "new page\r\n", GetParam()));

    EXPECT_EQ(readAll(victim), QByteArray("victim's own\n"));
    EXPECT_FALSE(QFileInfo::exists(missing)) << "a dangling link's target is not created";
    for (const char *name : {"a.htm", "b.htm"}) {
        EXPECT_FALSE(QFileInfo(at(name)).isSymLink()) << name;
        EXPECT_EQ(readAll(at(name)), QByteArray("new page\r\n")) << name;
    }
    EXPECT_EQ(entriesIn(dir.path()), (QStringList{"a.htm", "b.htm"})) << "no temporary file left";
}

TEST_P(Replace, existingFileKeepsItsPermissions_newFileFollowsTheUmask)
{
    writeBytes(at("a.htm"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(at("a.htm")).constData(), 0640), 0);
    const mode_t mask = ::umask(022);
    ASSERT_FALSE(writeWholeFile(at("a.htm"), "new", GetParam()));
    ASSERT_FALSE(writeWholeFile(at("b.htm"), "new", GetParam()));
    ::umask(mask);

    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(at("a.htm")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    ASSERT_EQ(::stat(QFile::encodeName(at("b.htm")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_EQ(readAll(at("a.htm")), QByteArray("new"));
}

TEST_P(Replace, writeOverTheFileSizeLimit_keepsTheOldFileAndLeavesNothing)
{
    writeBytes(at("a.htm"), "old and good");
    reportFileSizeLimitAsWriteError();
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = writeWholeFile(at("a.htm"), QByteArray(1000, 'x'), GetParam());
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, QStringLiteral("File too large"));
    EXPECT_EQ(readAll(at("a.htm")), QByteArray("old and good"));
    EXPECT_EQ(entriesIn(dir.path()), QStringList{"a.htm"});
}

INSTANTIATE_TEST_SUITE_P(LineFile, Replace, testing::Values(TemporaryFile::Unnamed, TemporaryFile::Named),
                         [](const testing::TestParamInfo<TemporaryFile> &info) {
                             return info.param == TemporaryFile::Unnamed ? "unnamed" : "named";
                         });

TEST(LineFile, readOnlyFileIsRefusedForAUserWhoMayNotWriteIt)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file; run as a normal user";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.htm"));
    writeBytes(path, "kept");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const auto error = writeWholeFile(path, "new");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, QStringLiteral("Permission denied"));
    EXPECT_EQ(readAll(path), QByteArray("kept"));
}
