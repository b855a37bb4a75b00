#pragma once
// Opening and reading files that must be regular files. A FIFO, device,
// socket or folder where a file is expected is refused without ever being
// opened in a way that blocks: a FIFO without a writer would hang open() and
// read() for good, and a device may act on being opened.

#include <cstddef>
#include <string>

namespace regular_file {

enum class EStatus {
    Ok,
    Missing,    // no such file (ENOENT, ENOTDIR)
    NotRegular, // a folder, FIFO, device or socket
    TooLarge,   // more than the caller's limit
    Failed,     // any other error; see err
};

struct SReadResult {
    EStatus status = EStatus::Failed;
    std::string bytes; // the whole file when status is Ok, else empty
    int err = 0;       // errno of the failure, 0 for NotRegular and TooLarge
    std::string error; // "path: reason", for diagnostics
    bool ok() const { return status == EStatus::Ok; }
};

// Reads the whole file, at most maxBytes of it: a larger or growing file is
// TooLarge. Symbolic links are followed.
SReadResult Read(const std::string& path, std::size_t maxBytes);

// Reads the first maxBytes at most; a longer file is TooLarge with its start
// in bytes, for readers that need only the beginning of a file.
SReadResult ReadStart(const std::string& path, std::size_t maxBytes);

struct SOpenResult {
    int fd = -1; // owned by the caller; -1 unless status is Ok
    EStatus status = EStatus::Failed;
    int err = 0;
};

// The same from a descriptor open for reading, from its current offset.
SReadResult ReadFrom(int fd, std::size_t maxBytes);

// Opens an existing regular file with flags (O_RDONLY, O_WRONLY or O_RDWR,
// plus others such as O_APPEND; O_CREAT is the caller's business). The file
// is checked before opening and again on the open descriptor; the descriptor
// is blocking and close-on-exec.
SOpenResult Open(const std::string& path, int flags);

} // namespace regular_file
