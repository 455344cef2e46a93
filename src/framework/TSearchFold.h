#pragma once
// How the search compares text: lower case without accents. Only ASCII and the Latin-1 letters
// (U+00C0..U+00FF) fold, each to one character, so that a folded QString keeps the positions of
// the original and the index's folded UTF-8 bytes compare the same way. Other characters compare
// as they are.

#include <string>
#include <string_view>

namespace SearchFold {

// Folded code point of one character (a UTF-16 unit or a code point).
char32_t FoldChar(char32_t c);
// Appends text (UTF-8) folded to out.
void AppendFolded(std::string& out, std::string_view text);
std::string Fold(std::string_view text);

}  // namespace SearchFold
