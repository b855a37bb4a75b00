#pragma once
// Texts the view's handlers show besides the program-wide ones.

namespace view_msg {
inline constexpr const char* kEngineFailure =
    "The XML engine reported an error; nothing was changed.";
} // namespace view_msg
