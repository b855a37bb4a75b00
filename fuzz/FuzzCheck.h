#pragma once
// The rules a fuzz target checks: a broken one is a finding. It is printed
// with what was expected and what came, then the process aborts, so that
// libFuzzer keeps the input that broke it.

#include <string>
#include <string_view>

namespace fuzz_check {

void Require(bool ok, std::string_view rule);
// Shows the text the rule is about when it is broken.
void Require(bool ok, std::string_view rule, std::string_view text);
// Shows both texts with their control and non-ASCII bytes escaped.
void RequireEqual(std::string_view expected, std::string_view actual, std::string_view rule);

// CR LF and a lone CR as LF: how XML reads line ends in character data, and
// how the editor's text box holds them.
std::string LfLineEnds(std::string text);

} // namespace fuzz_check
