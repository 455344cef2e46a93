#pragma once
// Keys computed in C++ and stored beside the values they come from, so that both databases
// compare them the same way, whatever their collation or case-folding rules.

#include <string>
#include <string_view>

namespace appserver {

// Without the surrounding blanks (spaces, tabs, line breaks).
std::string_view trimBlanks(std::string_view text);

// A group name's uniqueness key: trimmed, with ASCII and Latin-1 accented capitals folded to
// small letters ("  SUGESTÃO " and "Sugestão" give the same key). Other characters are kept.
std::string nameKey(std::string_view name);

// Only the digits of a product-tree code: "1.01.001.0001" and "1010010001" give "1010010001".
std::string treeDigits(std::string_view treeCode);

}  // namespace appserver
