#pragma once

#include <QString>

#include <optional>

namespace zelmora {

// What --version prints: the version, the licence and where to report
// problems, one line each; in Japanese or English.
QString versionText(bool japanese);

// Answers --help and --version, and refuses an option that is neither the
// program's nor Qt's (or an argument) with exit code 2, on the terminal and
// before any window system is needed; gives the exit code. Gives nothing for
// a normal start, which then goes on with the given arguments.
std::optional<int> answerCommandLine(int argc, char *argv[]);

// After QApplication has taken its own options (-platform, -style, ...) out
// of argv: what is left is not for this program (a Qt option that this
// platform does not take). Gives the exit code when something is left.
std::optional<int> rejectLeftoverArguments(int argc, char *argv[]);

} // namespace zelmora
