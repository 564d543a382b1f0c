#pragma once

#include <QString>

namespace zelmora {

// The three paths fixed at start-up, all in or beside the program's folder.
struct ProgramPaths {
    QString StrOutFolder_S;  // <program folder>/Popleaf/
    QString StrTempFolder_S; // <program folder>/TEMP/
    QString StrHelpFile_S;   // <program folder>/Zelmora.chm
    QString settingsFile;    // <program folder>/Zelmora.ini

    bool operator==(const ProgramPaths &) const = default;
};

// Joins a name to a folder with "/", without doubling the separator of a
// root folder.
QString joinProgramPath(const QString &folder, const QString &name);

// Sets the paths from the given program folder and creates the output
// folder; a failure to create it is ignored (the commands that write there
// report it).
ProgramPaths InitProgramPaths(const QString &programFolder);

// The same from the running program's folder.
ProgramPaths InitProgramPaths();

} // namespace zelmora
