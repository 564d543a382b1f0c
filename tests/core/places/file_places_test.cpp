// Where the user's files go: beside a program that may write there, in the
// user's folders otherwise, and what the start-up says when a folder cannot
// be made.

#include "core/places/file_places.h"
#include "core/files/file_error.h"
#include "support/file_compare.h"
#include "support/user_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <unistd.h>

using namespace zelmora;

namespace {

struct PlacesCase {
    const char *name;
    bool systemLayout;
    std::optional<bool> writable; // none: as the folder of this test is found
    ProgramPaths expected;
    const char *userDirs = nullptr; // found by findUserFolders in a HOME standing for /home/u
};

void PrintTo(const PlacesCase &c, std::ostream *os)
{
    *os << c.name;
}

const QString kProgram = QStringLiteral("/opt/zelmora/bin");
const QString kDocuments = QStringLiteral("/home/u/ドキュメント");
const QString kConfig = QStringLiteral("/home/u/.config");

const ProgramPaths kPortable{QStringLiteral("/opt/zelmora/bin/Popleaf/"), QStringLiteral("/opt/zelmora/bin/TEMP/"),
                             helpFileOf(kProgram), QStringLiteral("/opt/zelmora/bin/Zelmora.ini")};
const ProgramPaths kUserFolders{QStringLiteral("/home/u/ドキュメント/Zelmora/Popleaf/"),
                                QStringLiteral("/home/u/ドキュメント/Zelmora/TEMP/"), helpFileOf(kProgram),
                                QStringLiteral("/home/u/.config/zelmora/Zelmora.ini")};

// A user-dirs.dirs of exactly the largest size read, naming ~/Docs.
const QByteArray kLargestUserDirs = [] {
    QByteArray bytes = "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n#";
    return bytes + QByteArray(64 * 1024 - bytes.size() - 1, '#') + '\n';
}();
const QByteArray kTooLargeUserDirs = kLargestUserDirs + '\n';
ProgramPaths documentsIn(const char *folder)
{
    const QString zelmora = QStringLiteral("/home/u/%1/Zelmora/").arg(QString::fromUtf8(folder));
    return {zelmora + QStringLiteral("Popleaf/"), zelmora + QStringLiteral("TEMP/"), helpFileOf(kProgram),
            kUserFolders.settingsFile};
}

class ChooseProgramPaths : public testing::TestWithParam<PlacesCase> {};

} // namespace

TEST_P(ChooseProgramPaths, portableOnlyWhereItMayWrite)
{
    const PlacesCase &c = GetParam();
    // The found case is about a folder this user may write (a portable build);
    // a normal user running a build that root made cannot exercise it.
    if (!c.writable && ::access(QFile::encodeName(QCoreApplication::applicationDirPath()).constData(), W_OK) != 0)
        GTEST_SKIP() << "this user may not write the test's own folder";
    FilePlaces places{kProgram, c.systemLayout, c.writable.value_or(currentFilePlaces().programFolderWritable),
                      kDocuments, kConfig};
    QTemporaryDir user;
    if (c.userDirs) { // in $HOME/.config/user-dirs.dirs, with a relative XDG_CONFIG_HOME
        QProcessEnvironment env = test::userFoldersIn(user.path());
        test::writeFile(env.value(QStringLiteral("XDG_CONFIG_HOME")) + QStringLiteral("/user-dirs.dirs"), c.userDirs);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("home/.config"));
        findUserFolders(env, places);
        places.documentsFolder.replace(env.value(QStringLiteral("HOME")), QStringLiteral("/home/u"));
        places.configFolder.replace(env.value(QStringLiteral("HOME")), QStringLiteral("/home/u"));
    }
    const ProgramPaths paths = chooseProgramPaths(places);
    EXPECT_EQ(paths.outputFolder, c.expected.outputFolder);
    EXPECT_EQ(paths.previewFolder, c.expected.previewFolder);
    EXPECT_EQ(paths.helpFile, c.expected.helpFile);
    EXPECT_EQ(paths.settingsFile, c.expected.settingsFile);
    // The preview pages reach the pictures through "../Popleaf/".
    EXPECT_EQ(QDir::cleanPath(paths.previewFolder + QStringLiteral("../Popleaf")) + u'/', paths.outputFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ChooseProgramPaths,
    testing::Values(PlacesCase{"portableWritable", false, true, kPortable},
                    PlacesCase{"portableReadOnly", false, false, kUserFolders},
                    // The build folder: writable, and without Zelmora.ini.
                    PlacesCase{"portableFoundWritable", false, std::nullopt, kPortable},
                    PlacesCase{"installedAsRoot", true, true, kUserFolders},
                    PlacesCase{"installed", true, false, kUserFolders},
                    PlacesCase{"relativeXdgValuesIgnored", true, false, kUserFolders,
                               "XDG_DOCUMENTS_DIR=\"$HOME/ドキュメント\"\nXDG_DOCUMENTS_DIR=\"Documents\"\n"},
                    PlacesCase{"doubledSeparatorsCleaned", true, false, documentsIn("Docs"), "XDG_DOCUMENTS_DIR=\"$HOME//Docs//\"\n"},
                    PlacesCase{"largestUserDirsRead", true, false, documentsIn("Docs"), kLargestUserDirs.constData()},
                    // Not read: the documents folder of a HOME without user-dirs.dirs.
                    PlacesCase{"largerUserDirsIgnored", true, false, documentsIn("Documents"), kTooLargeUserDirs.constData()}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CreateFolders, makesMissingParents_thenFindsThemAgain)
{
    QTemporaryDir dir;
    const ProgramPaths paths = chooseProgramPaths(
        {kProgram, true, false, dir.path() + QStringLiteral("/Documents"), dir.path() + QStringLiteral("/config")});
    EXPECT_TRUE(createFolders(paths).isEmpty());
    EXPECT_TRUE(QFileInfo(paths.outputFolder).isDir());
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/config/zelmora")).isDir());
    EXPECT_FALSE(QFileInfo::exists(paths.previewFolder)) << "made by the preview only";
    EXPECT_TRUE(createFolders(paths).isEmpty());
}

TEST(CreateFolders, fileInTheWay_reportedOnceWithTheSystemsReason)
{
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/Documents"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ProgramPaths paths = chooseProgramPaths(
        {kProgram, true, false, blocker.fileName(), dir.path() + QStringLiteral("/config")});

    const QList<FolderProblem> problems = createFolders(paths);
    const QString out = dir.path() + QStringLiteral("/Documents/Zelmora/Popleaf");
    ASSERT_EQ(problems, (QList<FolderProblem>{{out, systemErrorText(EEXIST)}}));
    EXPECT_EQ(folderProblemMessage(problems),
              QStringLiteral("フォルダを作成できませんでした。\n") + out + QStringLiteral("\n理由: ")
                  + systemErrorText(EEXIST));
    EXPECT_TRUE(QFileInfo(dir.path() + QStringLiteral("/config/zelmora")).isDir()) << "the other folder is made";
}
