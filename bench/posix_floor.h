#pragma once

#include <string>
#include <vector>

namespace zelmora::bench {

// The floors of the file roads: the same bytes, the same files, plain POSIX
// calls and nothing else.

struct FileBytes {
    std::string path;
    std::string bytes;
};

// Writes each file as QSaveFile does on Linux, minus its bookkeeping: an
// unnamed O_TMPFILE in the target folder, one write, fdatasync, a link under
// a temporary name, close, rename over the final name. Aborts on failure.
void writeFilesSafely(const std::vector<FileBytes> &files);

// Reads each file whole with open/read/close; returns the bytes read so the
// work cannot be optimised away.
std::size_t readFiles(const std::vector<std::string> &paths);

} // namespace zelmora::bench
