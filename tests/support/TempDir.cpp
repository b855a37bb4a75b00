#include "support/TempDir.h"

#include "library/Utf8Path.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#ifdef _WIN32
#include <random>
#else
#include <sys/resource.h>
#endif

CTempDir::CTempDir() {
#ifdef _WIN32
    std::random_device random;
    std::error_code ec;
    do
        m_path = std::filesystem::temp_directory_path() /
                 ("tessary-test-" + std::to_string(random() % 1'000'000'000));
    while (!std::filesystem::create_directory(m_path, ec) && !ec);
    if (ec)
        throw std::runtime_error("cannot make a temporary folder");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "tessary-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
#endif
}

std::string CTempDir::File(const std::string& name) const {
    return utf8_path::Of(m_path / utf8_path::From(name));
}

CTempDir::~CTempDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Tests make folders read-only; give the owner back the right to clean up.
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(m_path, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

void CTempDir::Write(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(utf8_path::From(path).parent_path());
    if (!(std::ofstream(utf8_path::From(path), std::ios::binary | std::ios::trunc) << bytes))
        throw std::runtime_error("cannot write " + path);
}

std::string CTempDir::Read(const std::string& path) {
    return {std::istreambuf_iterator<char>(
                std::ifstream(utf8_path::From(path), std::ios::binary).rdbuf()),
            {}};
}

#ifndef _WIN32
bool WithFileSizeLimit(std::size_t bytes, const std::function<bool()>& work) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{static_cast<rlim_t>(bytes), old.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool result = work();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    return result;
}
#endif
