#include "editor/program_paths.h"

#include <QCoreApplication>
#include <QDir>

namespace zelmora {

QString joinProgramPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

ProgramPaths InitProgramPaths(const QString &programFolder)
{
    ProgramPaths paths;
    paths.StrOutFolder_S = joinProgramPath(programFolder, QStringLiteral("Popleaf/"));
    paths.StrTempFolder_S = joinProgramPath(programFolder, QStringLiteral("TEMP/"));
    paths.StrHelpFile_S = joinProgramPath(programFolder, QStringLiteral("Zelmora.chm"));
    paths.settingsFile = joinProgramPath(programFolder, QStringLiteral("Zelmora.ini"));
    QDir().mkdir(paths.StrOutFolder_S); // exists already, or cannot be made: both ignored
    return paths;
}

ProgramPaths InitProgramPaths()
{
    return InitProgramPaths(QCoreApplication::applicationDirPath());
}

} // namespace zelmora
