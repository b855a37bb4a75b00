#include "app/InstallPaths.h"

#include <filesystem>

namespace install_paths {

std::string DataDir(const std::string& programDir) {
    const std::filesystem::path dir(programDir);
    std::error_code ec;
    // A build folder: the build copies the book next to the program.
    if (std::filesystem::is_regular_file(dir / "help" / "tessary.hhp", ec))
        return dir.string();
    return (dir.parent_path() / "share" / "tessary").lexically_normal().string();
}

std::string HelpBook(const std::string& programDir) {
    return DataDir(programDir) + "/help/tessary.hhp";
}

} // namespace install_paths
