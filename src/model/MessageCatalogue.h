#pragma once
// The screen's message catalogue (msgPadrao) as "key|text" entries in their order, and the
// texts the screen supplies for the four standard keys it asks for but does not carry in its
// own catalogue ("verificando", "Atualizando", "Atualiza", "Canc").

#include <string>
#include <vector>

namespace model {

const std::vector<std::string>& ScreenMessages();

// "key|text" entries for the standard keys, for a host catalogue that lacks them.
const std::vector<std::string>& StandardMessages();

}  // namespace model
