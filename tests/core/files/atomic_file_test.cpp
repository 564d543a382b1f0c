#include "core/files/atomic_file.h"
#include "core/files/page_lines.h"

#include "reliability/reliability_support.h"
#include "support/file_compare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace zelmora;
using zelmora::test::entriesIn;
using zelmora::test::readAll;
using zelmora::test::writeFile;

TEST(LineFile, writesCrLfAfterEveryLineWithoutBom)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.htm"));
    ASSERT_FALSE(writePageLines(path, {QStringLiteral("<html>"), QStringLiteral("次へ")},
                                PageEncoding::ShiftJis));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("<html>\r\n\x8E\x9F\x82\xD6\r\n"));
}

TEST(LineFile, failedWriteKeepsTheOldFileAndNamesTheReason)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/a.htm"));
    const auto error = writeWholeFile(path, "x");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, path);
    EXPECT_FALSE(error->reason.isEmpty());
    EXPECT_TRUE(error->writeMessage().contains(path));

    // A folder in the way of the file: refused, the folder stays.
    const QString blocked = dir.filePath(QStringLiteral("b.htm"));
    ASSERT_TRUE(QDir().mkdir(blocked));
    EXPECT_TRUE(writeWholeFile(blocked, "x"));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
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
    writeFile(victim, "victim's own\n");
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
    writeFile(at("a.htm"), "old");
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
    writeFile(at("a.htm"), "old and good");
    std::signal(SIGXFSZ, SIG_IGN); // as the program does at start
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
    writeFile(path, "kept");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    const auto error = writeWholeFile(path, "new");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, QStringLiteral("Permission denied"));
    EXPECT_EQ(readAll(path), QByteArray("kept"));
}

// Without O_TMPFILE, hard links or RENAME_NOREPLACE (exFAT, FAT): a file replaces
// its old self whole; a new file never replaces one that appeared meanwhile.
class WithoutWays : public testing::TestWithParam<std::pair<TemporaryFile, int>> {}; // how many ways missing

TEST_P(WithoutWays, replacesWhole_newFileNeverReplacesOneThatAppeared)
{
    QTemporaryDir dir;
    const test::SystemFaults fileSystem(test::likeExfat(QFile::encodeName(dir.path())).mid(3 - GetParam().second));
    const QString a = dir.filePath(QStringLiteral("a.png")), b = dir.filePath(QStringLiteral("b.png"));
    const auto mine = [](int fd) { return ::write(fd, "mine", 4) == 4 ? 0 : errno; };
    writeFile(a, "old");
    ASSERT_FALSE(writeWholeFile(a, "new", GetParam().first));
    const auto appeared = writeNewFile(b, [&](int fd) { return writeFile(b, "theirs"), mine(fd); }, GetParam().first);
    ASSERT_TRUE(appeared);
    EXPECT_EQ(appeared->errorNumber, EEXIST);
    ASSERT_FALSE(writeNewFile(dir.filePath(QStringLiteral("c.png")), mine, GetParam().first));
    EXPECT_EQ(readAll(a) + readAll(b) + readAll(dir.filePath(QStringLiteral("c.png"))), QByteArray("newtheirsmine"));
    EXPECT_EQ(entriesIn(dir.path()), (QStringList{"a.png", "b.png", "c.png"})) << "nothing left behind";
}

INSTANTIATE_TEST_SUITE_P(LineFile, WithoutWays, testing::Values(std::pair(TemporaryFile::Unnamed, 0),
    std::pair(TemporaryFile::Named, 0), std::pair(TemporaryFile::Named, 1), std::pair(TemporaryFile::Unnamed, 2),
    std::pair(TemporaryFile::Unnamed, 3)));
