#include "library/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include "library/WindowsText.h"

#include <io.h>
#endif

namespace regular_file {

namespace {

EStatus StatusOfErrno(int err) {
    return err == ENOENT || err == ENOTDIR ? EStatus::Missing : EStatus::Failed;
}

#ifdef _WIN32
// The wide functions, so that a UTF-8 name outside the ANSI code page is
// found; descriptors in binary mode, so that no byte is translated. There
// are no FIFOs in the file system to guard against.
using SStat = struct _stat64;
int StatPath(const std::string& path, SStat& st) {
    return ::_wstat64(windows_text::Wide(path).c_str(), &st);
}
int StatFd(int fd, SStat& st) {
    return ::_fstat64(fd, &st);
}
int OpenPath(const std::string& path, int flags) {
    return ::_wopen(windows_text::Wide(path).c_str(), flags | _O_BINARY | _O_NOINHERIT);
}
void MakeBlocking(int) {}
long ReadSome(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}
#else
using SStat = struct stat;
int StatPath(const std::string& path, SStat& st) {
    return ::stat(path.c_str(), &st);
}
int StatFd(int fd, SStat& st) {
    return ::fstat(fd, &st);
}
// O_NONBLOCK because the path may have been swapped for a FIFO meanwhile.
int OpenPath(const std::string& path, int flags) {
    return ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
void MakeBlocking(int fd) {
    const int fl = ::fcntl(fd, F_GETFL);
    if (fl >= 0)
        (void)::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
}
long ReadSome(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}
#endif

} // namespace

SOpenResult Open(const std::string& path, int flags) {
    SOpenResult result;
    // Checked before opening, so that a device or FIFO is never opened at all.
    SStat st{};
    if (StatPath(path, st) != 0) {
        result.err = errno;
        result.status = StatusOfErrno(result.err);
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.status = EStatus::NotRegular;
        return result;
    }
    int fd;
    do {
        fd = OpenPath(path, flags);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        result.err = errno;
        result.status = result.err == ENXIO || result.err == EISDIR ? EStatus::NotRegular
                                                                    : StatusOfErrno(result.err);
        return result;
    }
    const bool statted = StatFd(fd, st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        result.err = statted ? 0 : errno;
        result.status = statted ? EStatus::NotRegular : EStatus::Failed;
        ::close(fd);
        return result;
    }
    MakeBlocking(fd);
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
    SStat st{};
    const bool sized = StatFd(fd, st) == 0 && st.st_size > 0;
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
        const long n = ReadSome(fd, result.bytes.data() + used, result.bytes.size() - used);
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
        const long n = ReadSome(opened.fd, result.bytes.data() + used, result.bytes.size() - used);
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
