#include "library/AtomicFile.h"

#include "library/RegularFile.h"
#include "res/Messages.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file rewritten in place is held in memory meanwhile.
constexpr std::size_t kMaxInPlaceBytes = 256u * 1024u * 1024u;

std::string ErrnoText(const char* what, int err) {
    return std::string(what) + ": " + std::strerror(err);
}

// Writes through a symbolic link to the file it names, as an editor should.
std::string ResolveTarget(const std::string& path) {
    char buf[PATH_MAX];
    if (realpath(path.c_str(), buf))
        return buf;
    return path; // a new file
}

mode_t DefaultMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The new file takes the owner, group and mode of the one it replaces, as
// far as the system lets it. What cannot be kept must not open the file to
// more people: under another group, the group gets no more than others had.
void TakeOwnerAndMode(int fd, const struct stat* old) {
    if (!old) {
        (void)::fchmod(fd, DefaultMode());
        return;
    }
    if (::fchown(fd, old->st_uid, old->st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old->st_gid); // a group of the user's
    struct stat now {};
    const bool known = ::fstat(fd, &now) == 0;
    mode_t mode = old->st_mode & 07777;
    if (!known || now.st_uid != old->st_uid)
        mode &= ~S_ISUID;
    if (!known || now.st_gid != old->st_gid)
        mode = (mode & ~(S_ISGID | 070)) | (((mode >> 3) & mode & 07) << 3);
    (void)::fchmod(fd, mode);
}

// Writes the bytes from the start of the file, whatever its position.
bool WriteAll(int fd, std::string_view bytes, int& err) {
    off_t offset = 0;
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// The file in a folder the user may not write to, where no temporary file
// can be made: it is rewritten in place. Its old bytes stay in memory and
// are put back when any step fails, so a failed save leaves it as it was.
SAtomicWriteResult WriteInPlace(const std::string& target, std::string_view bytes) {
    SAtomicWriteResult result;
    const regular_file::SOpenResult opened = regular_file::Open(target, O_RDWR);
    if (opened.fd < 0) {
        result.error = ErrnoText(msg::kCannotWriteFile, opened.err ? opened.err : EINVAL);
        return result;
    }
    const int fd = opened.fd;
    const regular_file::SReadResult old = regular_file::ReadFrom(fd, kMaxInPlaceBytes);
    if (!old.ok()) {
        ::close(fd);
        result.error = ErrnoText(msg::kCannotWriteFile, old.err ? old.err : EFBIG);
        return result;
    }

    int err = 0;
    bool ok = true;
    // Space first, so that a full disk fails before a byte has changed.
    if (bytes.size() > old.bytes.size()) {
        err = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        ok = err == 0;
    }
    ok = ok && WriteAll(fd, bytes, err);
    if (ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        err = errno;
        ok = false;
    }
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        int ignored = 0;
        const bool restored = WriteAll(fd, old.bytes, ignored) &&
                              ::ftruncate(fd, static_cast<off_t>(old.bytes.size())) == 0 &&
                              ::fsync(fd) == 0;
        result.error = ErrnoText(msg::kCannotWriteFile, err);
        if (!restored)
            result.error += std::string("\n") + msg::kOldContentNotRestored;
    }
    if (::close(fd) != 0 && ok) {
        result.error = ErrnoText(msg::kCannotWriteFile, errno);
        ok = false;
    }
    result.ok = ok;
    return result;
}

} // namespace

SAtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    SAtomicWriteResult result;
    if (path.empty()) {
        result.error = "Invalid filename.";
        return result;
    }
    const std::string target = ResolveTarget(path);
    const auto slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = dir + "." + base + ".tmp-XXXXXX";

    // A file that is there must be one the user may write, as for any
    // ordinary write; replacing it is no way round its permissions.
    struct stat old {};
    const regular_file::SOpenResult existing = regular_file::Open(target, O_WRONLY);
    const bool exists = existing.status == regular_file::EStatus::Ok;
    if (exists) {
        const int statErr = ::fstat(existing.fd, &old) == 0 ? 0 : errno;
        ::close(existing.fd);
        if (statErr != 0) {
            result.error = ErrnoText(msg::kCannotWriteFile, statErr);
            return result;
        }
    } else if (existing.status == regular_file::EStatus::NotRegular) {
        result.error = std::string("Cannot write the file: ") + msg::kNotARegularFile;
        return result;
    } else if (existing.status != regular_file::EStatus::Missing) {
        result.error = ErrnoText(msg::kCannotWriteFile, existing.err);
        return result;
    }

    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        const int err = errno;
        if (exists && (err == EACCES || err == EPERM))
            return WriteInPlace(target, bytes);
        result.error = ErrnoText(msg::kCannotCreateInFolder, err);
        return result;
    }
    TakeOwnerAndMode(fd, exists ? &old : nullptr);

    int err = 0;
    bool ok = WriteAll(fd, bytes, err);
    if (ok && ::fsync(fd) != 0) {
        err = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        err = errno;
        ok = false;
    }
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
        err = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        result.error = ErrnoText(msg::kCannotWriteFile, err);
        return result;
    }
    // Make the rename itself durable.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    result.ok = true;
    return result;
}
