#include "document/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

bool WriteAll(int fd, std::string_view bytes, int& err) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicWriteResult result;
    if (path.empty()) {
        result.error = "Invalid filename.";
        return result;
    }
    const std::string target = ResolveTarget(path);
    const auto slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = dir + "." + base + ".tmp-XXXXXX";

    const int fd = mkstemp(tmp.data());
    if (fd < 0) {
        result.error = ErrnoText("Cannot create a file in the folder", errno);
        return result;
    }
    // Keep the permissions of the file being replaced.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        (void)::fchmod(fd, st.st_mode & 07777);
    else
        (void)::fchmod(
            fd, 0666 & ~[] {
                const mode_t m = umask(0);
                umask(m);
                return m;
            }());

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
        result.error = ErrnoText("Cannot write the file", err);
        return result;
    }
    // Make the rename itself durable.
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        (void)::fsync(dfd);
        ::close(dfd);
    }
    result.ok = true;
    return result;
}
