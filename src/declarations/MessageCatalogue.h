#pragma once
// The screen's message catalogue (msgPadrao) as "key|text" entries in their order. The four
// standard keys the screen also asks for ("verificando", "Atualizando", "Atualiza", "Canc") are
// answered by the framework's standard catalogue.

#include <string>
#include <vector>

namespace declarations {

const std::vector<std::string>& ScreenMessages();

}  // namespace declarations
