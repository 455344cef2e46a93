#include "rpc/BasicCredentials.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>

#include "wire/FieldDef.h"

namespace appserver {
namespace {

wire::Status malformed(std::string why) {
    return {wire::ErrorCode::InvalidRequest, "Credenciais malformadas: " + std::move(why) + "."};
}

bool isBase64(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/';
}

bool printable(std::string_view text) {
    return wire::isValidUtf8(text) && std::none_of(text.begin(), text.end(), [](char c) {
               return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
           });
}

}  // namespace

BasicCredentials::~BasicCredentials() {
    if (!password.empty()) OPENSSL_cleanse(password.data(), password.size());
}

wire::Result<BasicCredentials> parseBasicCredentials(std::string_view header) {
    if (header.size() > kMaxAuthorizationBytes) return malformed("cabeçalho longo demais");
    constexpr std::string_view kScheme = "basic ";
    if (header.size() < kScheme.size() ||
        !std::equal(kScheme.begin(), kScheme.end(), header.begin(),
                    [](char a, char b) { return a == (b | 0x20); }))
        return malformed("use o esquema Basic");
    std::string_view encoded = header.substr(kScheme.size());
    while (!encoded.empty() && encoded.front() == ' ') encoded.remove_prefix(1);
    while (!encoded.empty() && encoded.back() == ' ') encoded.remove_suffix(1);
    std::size_t padding = 0;
    while (padding < 2 && padding < encoded.size() && encoded[encoded.size() - 1 - padding] == '=')
        ++padding;
    if (encoded.empty() || encoded.size() % 4 != 0 ||
        !std::all_of(encoded.begin(), encoded.end() - static_cast<std::ptrdiff_t>(padding),
                     isBase64))
        return malformed("base64 inválido");

    std::string decoded(encoded.size() / 4 * 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(decoded.data()),
                                  reinterpret_cast<const unsigned char*>(encoded.data()),
                                  static_cast<int>(encoded.size()));
    if (n < 0) return malformed("base64 inválido");
    decoded.resize(static_cast<std::size_t>(n) - padding);
    BasicCredentials credentials;
    const auto colon = decoded.find(':');
    if (colon == std::string::npos) {
        OPENSSL_cleanse(decoded.data(), decoded.size());
        return malformed("falta o separador entre usuário e senha");
    }
    credentials.user = decoded.substr(0, colon);
    credentials.password = decoded.substr(colon + 1);
    OPENSSL_cleanse(decoded.data(), decoded.size());
    if (credentials.user.empty() || credentials.password.empty())
        return malformed("usuário e senha não podem ser vazios");
    if (!printable(credentials.user) || !printable(credentials.password))
        return malformed("usuário ou senha com caracteres inválidos");
    return credentials;
}

}  // namespace appserver
