#pragma once
// Reading a file only when it is a regular file. A FIFO, device or folder in
// its place is refused at once: opening a FIFO for reading would otherwise
// wait for a writer for ever, and a device may never end.

#include <cstddef>
#include <string>

class CRegularFile {
public:
    enum class Status {
        Ok,
        Missing,    // nothing of that name
        NotRegular, // a FIFO, device, socket or folder
        Unreadable, // no permission or a read error
        TooLarge,   // more than the limit; the bytes hold its start
    };
    struct Read {
        Status status = Status::Missing;
        std::string bytes;
    };

    // At most maxBytes from the start of the file, opened without blocking.
    static Read ReadStartNonBlocking(const std::string& path, std::size_t maxBytes);
};
