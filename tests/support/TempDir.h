#pragma once
// A fresh folder under /tmp, removed with everything in it when the object goes.

#include <filesystem>
#include <string>

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

    static void Write(const std::string& path, const std::string& bytes);
    static std::string Read(const std::string& path);

private:
    std::filesystem::path m_path;
};
