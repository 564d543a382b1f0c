#pragma once

#include <QString>

namespace zelmora {

// The paths fixed at start-up. In the portable layout they all lie in or
// beside the program's folder; an installed program keeps the user's files
// in the user's folders (file_places.h decides).
struct ProgramPaths {
    QString outputFolder;  // <program folder>/Popleaf/
    QString previewFolder; // <program folder>/TEMP/, a sibling of the output folder
    QString helpFile;      // <program folder>/Zelmora.chm
    QString settingsFile;  // <program folder>/Zelmora.ini

    bool operator==(const ProgramPaths &) const = default;
};

// Joins a name to a folder with "/", without doubling the separator of a
// root folder.
QString joinProgramPath(const QString &folder, const QString &name);

// The portable layout: every path in or beside the program folder.
ProgramPaths portablePaths(const QString &programFolder);

// Sets the paths from the given program folder and creates the output
// folder; a failure to create it is ignored here (the start-up reports it,
// the commands that write there report their own failure).
ProgramPaths initPortablePaths(const QString &programFolder);

// The program's own parts, which it reads but never writes: beside the
// program in the portable layout, in the system's folders for data and
// libraries when installed as a package.
QString helpFileOf(const QString &programFolder);
QString previewModuleOf(const QString &programFolder);
// The preview module of the running program (without the ".so", as
// QPluginLoader takes it).
QString previewModuleFile();

} // namespace zelmora
