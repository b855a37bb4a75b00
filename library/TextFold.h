#pragma once
// Text folded for searching, so that a person finds "Café" by typing "cafe":
// lower case (full case folding), accents and other marks dropped,
// compatibility forms (full-width letters, ligatures) made plain. Han, kana
// and Hangul stay as they are. Bytes that are not UTF-8 are kept as they
// stand, so folding never fails and never loses a match on broken text.

#include <string>
#include <string_view>

namespace text_fold {

std::string Fold(std::string_view utf8);
// Appends the folded text to `out`; for loops that reuse one buffer.
void FoldInto(std::string_view utf8, std::string& out);
// Whether the folded text contains `foldedNeedle` (already folded); an empty
// needle is in every text.
bool Contains(std::string_view utf8Text, std::string_view foldedNeedle);

} // namespace text_fold
