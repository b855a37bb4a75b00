#pragma once
// File names as the system holds them (bytes, normally UTF-8) and as the
// toolkit holds them. A name that is not valid UTF-8 still opens and saves:
// its stray bytes travel as private-use characters and come back unchanged.

#include <wx/string.h>

#include <string>

namespace native_path {

wxString ToWx(const std::string& bytes);
std::string FromWx(const wxString& name);

// The name made absolute from the current folder and lexically tidied
// ("./a/../b.xml" -> "<cwd>/b.xml"); links are not resolved.
std::string Absolute(const std::string& bytes);

} // namespace native_path
