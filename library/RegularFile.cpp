#include "library/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace regular_file {

namespace {

EStatus StatusOfErrno(int err) {
    return err == ENOENT || err == ENOTDIR ? EStatus::Missing : EStatus::Failed;
}

} // namespace

SOpenResult Open(const std::string& path, int flags) {
    SOpenResult result;
    // Checked before opening, so that a device or FIFO is never opened at all.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        result.err = errno;
        result.status = StatusOfErrno(result.err);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = EStatus::NotRegular;
        return result;
    }
    // O_NONBLOCK because the path may have been swapped for a FIFO meanwhile.
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result.err = errno;
        result.status = result.err == ENXIO || result.err == EISDIR ? EStatus::NotRegular
                                                                    : StatusOfErrno(result.err);
        return result;
    }
    const bool statted = ::fstat(fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        result.err = statted ? 0 : errno;
        result.status = statted ? EStatus::NotRegular : EStatus::Failed;
        ::close(fd);
        return result;
    }
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0)
        (void)::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    result.fd = fd;
    result.status = EStatus::Ok;
    return result;
}

SReadResult ReadFrom(int fd, std::size_t maxBytes) {
    SReadResult result;
    auto fail = [&](EStatus status, int err, const std::string& why) {
        result.status = status;
        result.err = err;
        result.error = why;
        result.bytes.clear();
        return result;
    };
    struct stat st {};
    const bool sized = ::fstat(fd, &st) == 0 && st.st_size > 0;
    const std::string tooLarge = "more than " + std::to_string(maxBytes) + " bytes";
    if (sized && static_cast<unsigned long long>(st.st_size) > maxBytes)
        return fail(EStatus::TooLarge, 0, tooLarge);
    // One byte over the limit tells a file that grew past it.
    const std::size_t limit = maxBytes + 1;
    result.bytes.resize(
        std::min(sized ? static_cast<std::size_t>(st.st_size) + 1 : 64 * 1024, limit));
    std::size_t used = 0;
    for (;;) {
        if (used == result.bytes.size()) {
            if (used >= limit)
                return fail(EStatus::TooLarge, 0, tooLarge);
            result.bytes.resize(std::min(used * 2, limit));
        }
        const ssize_t n = ::read(fd, result.bytes.data() + used, result.bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(EStatus::Failed, errno, std::strerror(errno));
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    result.bytes.resize(used);
    result.status = EStatus::Ok;
    return result;
}

SReadResult Read(const std::string& path, std::size_t maxBytes) {
    const SOpenResult opened = Open(path, O_RDONLY);
    SReadResult result;
    if (opened.fd < 0) {
        result.status = opened.status;
        result.err = opened.err;
        result.error = path + ": " +
                       (opened.status == EStatus::NotRegular ? "not a regular file"
                                                             : std::strerror(opened.err));
        return result;
    }
    result = ReadFrom(opened.fd, maxBytes);
    ::close(opened.fd);
    if (!result.ok())
        result.error = path + ": " + result.error;
    return result;
}

SReadResult ReadStart(const std::string& path, std::size_t maxBytes) {
    SReadResult result;
    const SOpenResult opened = Open(path, O_RDONLY);
    result.status = opened.status;
    result.err = opened.err;
    if (opened.fd < 0) {
        result.error = path + ": " +
                       (opened.status == EStatus::NotRegular ? "not a regular file"
                                                             : std::strerror(opened.err));
        return result;
    }
    // One byte over the limit tells whether anything follows the start.
    result.bytes.resize(maxBytes + 1);
    std::size_t used = 0;
    while (used < result.bytes.size()) {
        const ssize_t n = ::read(opened.fd, result.bytes.data() + used, result.bytes.size() - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.status = EStatus::Failed;
            result.err = errno;
            result.error = path + ": " + std::strerror(errno);
            result.bytes.clear();
            ::close(opened.fd);
            return result;
        }
        if (n == 0)
            break;
        used += static_cast<std::size_t>(n);
    }
    ::close(opened.fd);
    result.status = used > maxBytes ? EStatus::TooLarge : EStatus::Ok;
    result.bytes.resize(std::min(used, maxBytes));
    return result;
}

} // namespace regular_file
