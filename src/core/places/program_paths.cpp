#include "core/places/program_paths.h"

#include "build_config.h"

#include <QCoreApplication>
#include <QDir>

namespace zelmora {

QString joinProgramPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

ProgramPaths portablePaths(const QString &programFolder)
{
    ProgramPaths paths;
    paths.outputFolder = joinProgramPath(programFolder, QStringLiteral("Popleaf/"));
    paths.previewFolder = joinProgramPath(programFolder, QStringLiteral("TEMP/"));
    paths.helpFile = helpFileOf(programFolder);
    paths.settingsFile = joinProgramPath(programFolder, QStringLiteral("Zelmora.ini"));
    return paths;
}

ProgramPaths initPortablePaths(const QString &programFolder)
{
    ProgramPaths paths = portablePaths(programFolder);
    QDir().mkdir(paths.outputFolder); // exists already, or cannot be made: both ignored
    return paths;
}

namespace {

QString partOf(const QString &programFolder, const char *relativeFolder, const char *name)
{
    const QString folder = QString::fromUtf8(relativeFolder);
    if (folder == u".")
        return joinProgramPath(programFolder, QString::fromUtf8(name));
    return QDir::cleanPath(joinProgramPath(programFolder, folder) + u'/' + QString::fromUtf8(name));
}

} // namespace

QString helpFileOf(const QString &programFolder)
{
    return partOf(programFolder, ZELMORA_HELP_DIR, "Zelmora.chm");
}

QString previewModuleOf(const QString &programFolder)
{
    return partOf(programFolder, ZELMORA_MODULE_DIR, "zelmora_preview");
}

QString previewModuleFile()
{
    return previewModuleOf(QCoreApplication::applicationDirPath());
}

} // namespace zelmora
