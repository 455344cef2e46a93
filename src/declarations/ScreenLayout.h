#pragma once
// The screen's design-time layout: captions and pixel sizes the form applies when it builds
// itself. Sizes are at design scale; the host may scale them.

namespace declarations::layout {

inline constexpr const char* kCaption = "Sugestão de Produtos";
inline constexpr const char* kScreenCode = "VLP27000";
inline constexpr int kWidth = 1203;
inline constexpr int kHeight = 495;

inline constexpr int kPageControlWidth = 1187;
inline constexpr int kPageControlHeight = 390;
inline constexpr const char* kGroupPageCaption = "Grupo";
inline constexpr const char* kProductPageCaption = "Produto";

inline constexpr int kMainGridWidth = 609;  // dbgProduto, aligned left
inline constexpr int kSplitterWidth = 3;

inline constexpr const char* kNavigatorField = "NMGRUSUGESPROD";  // dbtNome's field

}  // namespace declarations::layout
