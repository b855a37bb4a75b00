#pragma once
// Where the program finds its help book and example library: beside the
// program in a build folder, in <prefix>/share/tessary once installed. Both
// are found from the program's own folder, so a moved prefix still works.

#include <string>

namespace install_paths {

// The folder holding help/ and examples/ for a program in `programDir`.
std::string DataDir(const std::string& programDir);
// The help book's .hhp file.
std::string HelpBook(const std::string& programDir);

} // namespace install_paths
