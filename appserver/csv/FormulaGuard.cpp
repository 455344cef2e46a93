#include "csv/FormulaGuard.h"

namespace appserver {

namespace {

constexpr std::string_view kFormulaStarts = "=+-@\t\r";

// Whether the text is some apostrophes (at least `apostrophes`) then a formula character.
bool looksLikeFormula(std::string_view text, std::size_t apostrophes) {
    const std::size_t first = text.find_first_not_of('\'');
    return first != std::string_view::npos && first >= apostrophes &&
           kFormulaStarts.find(text[first]) != std::string_view::npos;
}

}  // namespace

std::string guardFormula(std::string_view value) {
    if (!looksLikeFormula(value, 0)) return std::string(value);
    return "'" + std::string(value);
}

std::string_view unguardFormula(std::string_view field) {
    return looksLikeFormula(field, 1) ? field.substr(1) : field;
}

}  // namespace appserver
