#pragma once
// Small helpers screens use on codes and grids.

#include <string>
#include <string_view>

class TDBGrid;

// Adjusts text to width characters: a text made only of digits is left-padded with zeros (codes
// compare by their digits: "12" -> "0000000012"); any other text is right-padded with blanks.
// Text longer than width is returned unchanged, never cut (cutting would change the value).
std::string Ajusta(std::string_view text, int width);

// True when text is empty (blanks count as content).
bool EmptyString(std::string_view text);

// Index of the grid column that shows fieldName (exact match), -1 when none.
int IndiceCol(const TDBGrid& grid, std::string_view fieldName);
