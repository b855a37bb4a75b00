#include "BenchFiles.h"

#include "LibraryGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/vfs.h>

CBenchFiles& CBenchFiles::Get() {
    static CBenchFiles s_files;
    return s_files;
}

CBenchFiles::CBenchFiles() {
    const char* base = std::getenv("TESSARY_BENCH_DIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tessary-bench-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a scratch folder from " + pattern);
    m_strDir = pattern;
}

CBenchFiles::~CBenchFiles() {
    std::error_code ec;
    std::filesystem::remove_all(m_strDir, ec);
}

const std::string& CBenchFiles::LibraryPath(int nItems) {
    auto it = m_mapLibraries.find(nItems);
    if (it != m_mapLibraries.end())
        return it->second;
    const std::string path = File("library-" + std::to_string(nItems) + ".xml");
    std::ofstream out(path, std::ios::binary);
    out << CLibraryGenerator::Generate(nItems);
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
    return m_mapLibraries.emplace(nItems, path).first->second;
}

std::string CBenchFiles::FileSystem() const {
    struct statfs st {};
    if (statfs(m_strDir.c_str(), &st) != 0)
        return "unknown";
    switch (static_cast<unsigned long>(st.f_type)) {
    case 0x01021994ul:
        return "tmpfs";
    case 0xef53ul:
        return "ext4";
    case 0x794c7630ul:
        return "overlayfs";
    case 0x9123683eul:
        return "btrfs";
    case 0x58465342ul:
        return "xfs";
    default: {
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%lx", static_cast<unsigned long>(st.f_type));
        return hex;
    }
    }
}

std::string CBenchFiles::ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
