#pragma once
// Refusals shared by the main-product and related-product writers.

namespace appserver {

inline constexpr const char* kGroupMissing = "Grupo deve ser informado.";
inline constexpr const char* kGroupUnknown = "Grupo não cadastrado.";
inline constexpr const char* kProductMissing = "Produto deve ser informado.";
inline constexpr const char* kProductUnknown = "Produto não cadastrado.";
inline constexpr const char* kMainProductUnknown = "Produto principal não cadastrado neste grupo.";
inline constexpr const char* kRelatedToItself = "Um produto não pode ser relacionado a ele mesmo.";
inline constexpr const char* kOnlyFlags =
    "Somente os indicadores Quantidade e Totalizador podem ser alterados.";

}  // namespace appserver
