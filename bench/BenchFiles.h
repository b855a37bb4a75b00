#pragma once
// The benchmarks' scratch folder and the generated library files in it. The
// folder is made under $TESSARY_BENCH_DIR (default /tmp), so a run can pick
// the file system that the save figures are measured on, and removed at exit.

#include <map>
#include <string>

class CBenchFiles {
public:
    static CBenchFiles& Get();

    // The library of nItems items as a file, generated on first use.
    const std::string& LibraryPath(int nItems);
    // A path in the scratch folder.
    std::string File(const std::string& name) const { return m_strDir + "/" + name; }
    const std::string& Dir() const { return m_strDir; }
    // "tmpfs", "ext4" and the like: the save figures depend on it.
    std::string FileSystem() const;

    static std::string ReadAll(const std::string& path);

    CBenchFiles(const CBenchFiles&) = delete;
    CBenchFiles& operator=(const CBenchFiles&) = delete;

private:
    CBenchFiles();
    ~CBenchFiles();

    std::string m_strDir;
    std::map<int, std::string> m_mapLibraries;
};
