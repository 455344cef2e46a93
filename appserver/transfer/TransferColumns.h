#pragma once
// The columns of the two CSV files, in their order: what export writes as the header and what
// import requires of it.

#include <array>
#include <string_view>

namespace appserver {

inline constexpr std::array<std::string_view, 3> kProductColumns = {"produto", "arvore", "nome"};

inline constexpr std::array<std::string_view, 9> kSuggestionColumns = {
    "grupo",       "nome_grupo",        "ordem",
    "principal",   "quant_principal",   "total_principal",
    "relacionado", "quant_relacionado", "total_relacionado"};

// The delimiter written: what spreadsheets in Portuguese write.
inline constexpr char kCsvDelimiter = ';';

}  // namespace appserver
