#pragma once

#include <unistd.h>

namespace zelmora {

// Owns a POSIX file descriptor and closes it. The readers open files
// themselves (O_NONBLOCK, then fstat on the descriptor) so that a FIFO or a
// device put in a file's place is recognised without ever blocking on it.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return m_fd; }

private:
    int m_fd = -1;
};

} // namespace zelmora
