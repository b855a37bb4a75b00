#pragma once
// One line on stderr for each thing that otherwise goes wrong without a word:
// how a paste ended, a grab another program refused us, an X error swallowed.
// Only when the program runs with TESSARY_DEBUG=1, so that a user's "nothing
// was pasted" can be told apart without a debugger.

#include <functional>
#include <string>

namespace trace {

// Lines are written (TESSARY_DEBUG=1, read at the first call) or captured.
bool Enabled();

// Writes "tessary: " and text as one line.
void Line(const std::string& text);

// Tests: every line goes to sink instead, whatever the environment says;
// nullptr restores the default.
void SetSink(std::function<void(const std::string&)> sink);

} // namespace trace
