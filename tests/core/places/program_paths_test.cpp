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
    const ProgramPaths paths = initPortablePaths(dir.path());
    EXPECT_EQ(paths.outputFolder, dir.path() + QStringLiteral("/Popleaf/"));
    EXPECT_EQ(paths.previewFolder, dir.path() + QStringLiteral("/TEMP/"));
    EXPECT_EQ(paths.helpFile, dir.path() + QStringLiteral("/Zelmora.chm"));
    EXPECT_EQ(paths.settingsFile, dir.path() + QStringLiteral("/Zelmora.ini"));
    EXPECT_TRUE(QFileInfo(paths.outputFolder).isDir());
    EXPECT_FALSE(QFileInfo::exists(paths.previewFolder)) << "made by the preview only";

    // A second start finds the folder and goes on.
    EXPECT_EQ(initPortablePaths(dir.path()), paths);
}

TEST(ProgramPaths, unwritableProgramFolderIsIgnored)
{
    const ProgramPaths paths = initPortablePaths(QStringLiteral("/proc/zelmora-none"));
    EXPECT_EQ(paths.outputFolder, QStringLiteral("/proc/zelmora-none/Popleaf/"));
    EXPECT_FALSE(QFileInfo::exists(paths.outputFolder));
}
