#pragma once
// Spreadsheets run a cell that starts with =, +, -, @, tab or CR as a formula; names and codes are
// typed by users, so such a value is written with a leading apostrophe and shown as text. The
// guard is undone on reading, so an exported file imports back to the same values: a value made
// of apostrophes and then a formula character gets one apostrophe more on writing and loses one
// on reading, so "'=x" and "=x" stay apart.

#include <string>
#include <string_view>

namespace appserver {

// The value as it goes into a file.
std::string guardFormula(std::string_view value);
// The value a guarded field stands for.
std::string_view unguardFormula(std::string_view field);

}  // namespace appserver
