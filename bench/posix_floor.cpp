#include "posix_floor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace zelmora::bench {
namespace {

[[noreturn]] void fail(const char *what, const std::string &path)
{
    std::perror((std::string(what) + " " + path).c_str());
    std::abort();
}

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace

void writeFilesSafely(const std::vector<FileBytes> &files)
{
    for (const FileBytes &file : files) {
        const int fd = ::open(folderOf(file.path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
        if (fd < 0)
            fail("open", file.path);
        std::size_t done = 0;
        while (done < file.bytes.size()) {
            const ssize_t n = ::write(fd, file.bytes.data() + done, file.bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("write", file.path);
            done += std::size_t(n);
        }
        if (::fdatasync(fd) != 0)
            fail("fdatasync", file.path);
        const std::string temporary = file.path + ".tmp";
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0)
            fail("linkat", temporary);
        ::close(fd);
        if (::rename(temporary.c_str(), file.path.c_str()) != 0)
            fail("rename", file.path);
    }
}

std::size_t readFiles(const std::vector<std::string> &paths)
{
    std::size_t total = 0;
    char buffer[64 * 1024];
    for (const std::string &path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            fail("open", path);
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail("read", path);
            if (n == 0)
                break;
            total += std::size_t(n);
        }
        ::close(fd);
    }
    return total;
}

} // namespace zelmora::bench
