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
#include <cstring>
#include <memory>
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

// The ways of a file system the writer may find, and the temporary file it
// starts with.
struct FileSystem {
    const char *name;
    TemporaryFile temporary;
    bool tmpFile, links, renameNoReplace; // the ways it has
};
void PrintTo(const FileSystem &f, std::ostream *os) { *os << f.name; }

class Replace : public testing::TestWithParam<FileSystem> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // Missing as exFAT and FAT lack them.
        QList<test::SystemFault> faults = test::likeExfat(QFile::encodeName(dir.path()));
        const bool has[] = {GetParam().tmpFile, GetParam().links, GetParam().renameNoReplace};
        for (int i = 2; i >= 0; --i) {
            if (has[i])
                faults.removeAt(i);
        }
        fileSystem = std::make_unique<test::SystemFaults>(faults);
    }
    QString at(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    TemporaryFile temporary() const { return GetParam().temporary; }
    QTemporaryDir dir;
    std::unique_ptr<test::SystemFaults> fileSystem;
};

int writeText(int fd, const char *text)
{
    return ::write(fd, text, std::strlen(text)) == ssize_t(std::strlen(text)) ? 0 : errno;
}

} // namespace

TEST_P(Replace, linkAtThePathIsReplacedAndItsTargetLeftAlone)
{
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral(".bashrc"));
    writeFile(victim, "victim's own\n");
    const QString missing = elsewhere.filePath(QStringLiteral("new"));
    ASSERT_TRUE(QFile::link(victim, at("a.htm")));
    ASSERT_TRUE(QFile::link(missing, at("b.htm")));

    ASSERT_FALSE(writeWholeFile(at("a.htm"), "new page\r\n", temporary()));
    ASSERT_FALSE(writeWholeFile(at("b.htm"), "new page\r\n", temporary()));

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
    ASSERT_FALSE(writeWholeFile(at("a.htm"), "new", temporary()));
    ASSERT_FALSE(writeWholeFile(at("b.htm"), "new", temporary()));
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
    const auto error = writeWholeFile(at("a.htm"), QByteArray(1000, 'x'), temporary());
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);

    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, QStringLiteral("File too large"));
    EXPECT_EQ(readAll(at("a.htm")), QByteArray("old and good"));
    EXPECT_EQ(entriesIn(dir.path()), QStringList{"a.htm"});
}

// A new file never replaces one that appeared while it was written, on
// every file system, and a free name gets the whole content.
TEST_P(Replace, newFileNeverReplacesAFileThatAppearedMeanwhile)
{
    ASSERT_FALSE(writeNewFile(at("free.png"), [](int fd) { return writeText(fd, "mine"); }, temporary()));
    EXPECT_EQ(readAll(at("free.png")), QByteArray("mine"));
    const auto taken = writeNewFile(at("free.png"), [](int fd) { return writeText(fd, "again"); }, temporary());
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->errorNumber, EEXIST);

    const QString theirs = at("a.png");
    const auto appeared = writeNewFile(theirs, [&](int fd) {
        writeFile(theirs, "theirs");
        return writeText(fd, "mine");
    }, temporary());
    ASSERT_TRUE(appeared);
    EXPECT_EQ(appeared->errorNumber, EEXIST);
    EXPECT_EQ(readAll(theirs), QByteArray("theirs"));
    EXPECT_EQ(entriesIn(dir.path()), (QStringList{"a.png", "free.png"})) << "no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(LineFile, Replace, testing::Values(
    //         name                     first                   O_TMPFILE links  NOREPLACE
    FileSystem{"unnamed",                 TemporaryFile::Unnamed, true,     true,  true},
    FileSystem{"named",                   TemporaryFile::Named,   true,     true,  true},
    FileSystem{"named_withoutNoReplace",  TemporaryFile::Named,   true,     true,  false},
    FileSystem{"unnamed_withoutLinks",    TemporaryFile::Unnamed, true,     false, true},
    FileSystem{"exfat",                   TemporaryFile::Unnamed, false,    false, false}),
    [](const auto &info) { return std::string(info.param.name); });

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
