#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cerrno>
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

// Fills bytes from fd, again after an interruption, and cuts it to what was
// read when the file ended sooner (it shrank since its size was taken); 0,
// or the errno of the read that failed.
inline int readAll(int fd, QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += qsizetype(n);
    }
    bytes.truncate(done);
    return 0;
}

// Writes all of bytes to fd, again after an interruption; 0, or the errno of
// the write that failed. A short write without an error is followed by one
// that names it (EFBIG, ENOSPC); a write of nothing, which would never end,
// counts as a full disk.
inline int writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, std::size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += qsizetype(n);
    }
    return 0;
}

} // namespace zelmora
