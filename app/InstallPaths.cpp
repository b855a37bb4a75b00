#include "app/InstallPaths.h"

#include "library/Utf8Path.h"

#include <filesystem>

namespace install_paths {

std::string DataDir(const std::string& programDir) {
    const std::filesystem::path dir = utf8_path::From(programDir);
    std::error_code ec;
    // A build folder: the build copies the book next to the program.
    if (std::filesystem::is_regular_file(dir / "help" / "tessary.hhp", ec))
        return utf8_path::Of(dir);
    return utf8_path::Of((dir.parent_path() / "share" / "tessary").lexically_normal());
}

std::string HelpBook(const std::string& programDir) {
    return DataDir(programDir) + "/help/tessary.hhp";
}

} // namespace install_paths
