#include "store/UserNames.h"

#include <algorithm>
#include <string>

namespace appserver {

namespace {

bool allowed(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
}

}  // namespace

wire::Status checkUserName(std::string_view name) {
    if (name.empty() || name.size() > kMaxUserName ||
        !std::all_of(name.begin(), name.end(), allowed))
        return {wire::ErrorCode::Refused,
                "Nome de usuário inválido: use de 1 a " + std::to_string(kMaxUserName) +
                    " letras sem acento, dígitos, \".\", \"_\" ou \"-\"."};
    if (name == kLocalUser)
        return {wire::ErrorCode::Refused,
                "O nome \"local\" é reservado: o histórico o usa para as alterações feitas sem "
                "autenticação."};
    return {};
}

}  // namespace appserver
