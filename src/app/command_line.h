#pragma once

#include <optional>

namespace zelmora {

// Answers --help and --version (and an option that is neither the program's
// nor Qt's) on the terminal, before any window system is needed, and gives
// the exit code. Gives nothing for a normal start, which then goes on with
// the given arguments.
std::optional<int> answerCommandLine(int argc, char *argv[]);

// After QApplication has taken its own options (-platform, -style, ...) out
// of argv: what is left is not for this program. Gives the exit code when
// something is left.
std::optional<int> rejectLeftoverArguments(int argc, char *argv[]);

} // namespace zelmora
