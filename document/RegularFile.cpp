#include "document/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CRegularFile::Read CRegularFile::ReadStartNonBlocking(const std::string& path,
                                                      std::size_t maxBytes) {
    Read result;
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (err == ENOENT || err == ENOTDIR)
            result.status = Status::Missing;
        else if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            result.status = Status::NotRegular;
        else
            result.status = Status::Unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = Status::NotRegular;
        ::close(fd);
        return result;
    }
    result.status = Status::Ok;
    // One byte past the limit tells a file that is too large.
    char buf[16384];
    while (result.bytes.size() <= maxBytes) {
        const std::size_t want = std::min(sizeof buf, maxBytes + 1 - result.bytes.size());
        const ssize_t n = ::read(fd, buf, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.status = Status::Unreadable;
            break;
        }
        if (n == 0)
            break;
        result.bytes.append(buf, static_cast<std::size_t>(n));
    }
    if (result.bytes.size() > maxBytes) {
        result.bytes.resize(maxBytes);
        result.status = Status::TooLarge;
    }
    ::close(fd);
    return result;
}
