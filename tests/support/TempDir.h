#pragma once
// A fresh folder in the temporary folder, removed with everything in it when the object
// goes; whole-file reads and writes; and work done as on a disk that fills up.

#include "library/Utf8Path.h"

#include <filesystem>
#include <functional>
#include <string>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();

    const std::filesystem::path& Path() const { return m_path; }
    // The path of name (UTF-8) in the folder, in UTF-8.
    std::string File(const std::string& name) const;

    // Makes the folders on the way.
    static void Write(const std::string& path, const std::string& bytes);
    static std::string Read(const std::string& path);
#ifdef _WIN32
    // A path holds wide characters there, and is not a std::string.
    static void Write(const std::filesystem::path& path, const std::string& bytes) {
        Write(utf8_path::Of(path), bytes);
    }
#endif

private:
    std::filesystem::path m_path;
};

#ifndef _WIN32
// What work returns when run under a file-size limit of bytes, as on a disk
// that fills up; writes beyond it fail instead of raising SIGXFSZ.
bool WithFileSizeLimit(std::size_t bytes, const std::function<bool()>& work);
#endif
