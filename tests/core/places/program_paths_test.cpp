#include "core/places/program_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;

TEST(ProgramPaths, joinsWithOneSeparator)
{
    EXPECT_EQ(joinProgramPath(QStringLiteral("/opt/tools"), QStringLiteral("Popleaf/")),
              QStringLiteral("/opt/tools/Popleaf/"));
    EXPECT_EQ(joinProgramPath(QStringLiteral("/"), QStringLiteral("Popleaf/")),
              QStringLiteral("/Popleaf/"));
    EXPECT_EQ(joinProgramPath(QStringLiteral("/"), QStringLiteral("Zelmora.chm")),
              QStringLiteral("/Zelmora.chm"));
}

TEST(ProgramPaths, initSetsThePathsAndCreatesTheOutputFolderOnce)
{
    QTemporaryDir dir;
    const ProgramPaths paths = InitProgramPaths(dir.path());
    EXPECT_EQ(paths.StrOutFolder_S, dir.path() + QStringLiteral("/Popleaf/"));
    EXPECT_EQ(paths.StrTempFolder_S, dir.path() + QStringLiteral("/TEMP/"));
    EXPECT_EQ(paths.StrHelpFile_S, dir.path() + QStringLiteral("/Zelmora.chm"));
    EXPECT_EQ(paths.settingsFile, dir.path() + QStringLiteral("/Zelmora.ini"));
    EXPECT_TRUE(QFileInfo(paths.StrOutFolder_S).isDir());
    EXPECT_FALSE(QFileInfo::exists(paths.StrTempFolder_S)) << "made by the preview only";

    // A second start finds the folder and goes on.
    EXPECT_EQ(InitProgramPaths(dir.path()), paths);
}

TEST(ProgramPaths, unwritableProgramFolderIsIgnored)
{
    const ProgramPaths paths = InitProgramPaths(QStringLiteral("/proc/zelmora-none"));
    EXPECT_EQ(paths.StrOutFolder_S, QStringLiteral("/proc/zelmora-none/Popleaf/"));
    EXPECT_FALSE(QFileInfo::exists(paths.StrOutFolder_S));
}
