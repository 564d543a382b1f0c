#pragma once

#include "core/places/program_paths.h"

#include <QList>
#include <QProcessEnvironment>
#include <QString>

namespace zelmora {

// What decides where the user's files go.
struct FilePlaces {
    QString programFolder;
    // Installed under a system prefix: never writes beside the program, even
    // when it could (as root).
    bool systemLayout = false;
    bool programFolderWritable = false;
    QString documentsFolder; // the desktop's documents folder ($XDG_DOCUMENTS_DIR)
    QString configFolder;    // $XDG_CONFIG_HOME
};

// The places of the running program and of this user.
FilePlaces currentFilePlaces();

// The user's documents and settings folders into places: XDG_CONFIG_HOME
// from env, and XDG_DOCUMENTS_DIR from the user-dirs.dirs file in that
// folder ("$HOME/..." or an absolute path; the last usable line counts). As
// the XDG rules say, a value that is not an absolute path is ignored for the
// default under env's HOME: $HOME/.config, $HOME/Documents.
void findUserFolders(const QProcessEnvironment &env, FilePlaces &places);

// The portable layout (every file beside the program) when the program may
// write into its own folder; otherwise the user's folders:
//   <documents>/Zelmora/Popleaf/   the output folder, where the user finds
//                                  the sets to upload and puts the pictures
//   <documents>/Zelmora/TEMP/      the preview pages, a sibling of the output
//                                  folder so that "../Popleaf/" reaches the
//                                  pictures from there
//   <config>/zelmora/Zelmora.ini   the options
// Only chooses; nothing is created.
ProgramPaths chooseProgramPaths(const FilePlaces &places);

struct FolderProblem {
    QString folder;
    QString reason; // the system's text, in the user's language

    bool operator==(const FolderProblem &) const = default;
};

// Creates the output folder and the folder of the settings file, with any
// missing parents; what cannot be created comes back with the system's
// reason.
QList<FolderProblem> createFolders(const ProgramPaths &paths);

// The one message of the start-up for the folders that could not be created.
QString folderProblemMessage(const QList<FolderProblem> &problems);

} // namespace zelmora
