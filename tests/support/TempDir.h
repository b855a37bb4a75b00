#pragma once
// A fresh folder under /tmp, removed with everything in it when the object
// goes; whole-file reads and writes; and work done as on a disk that fills up.

#include <filesystem>
#include <functional>
#include <string>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

    // Makes the folders on the way.
    static void Write(const std::string& path, const std::string& bytes);
    static std::string Read(const std::string& path);

private:
    std::filesystem::path m_path;
};

// What work returns when run under a file-size limit of bytes, as on a disk
// that fills up; writes beyond it fail instead of raising SIGXFSZ.
bool WithFileSizeLimit(std::size_t bytes, const std::function<bool()>& work);
