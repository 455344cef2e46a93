#include "store/DatabaseUrl.h"

#include <vector>

namespace appserver {

namespace {

// The passwords written in url, as written (percent-encoded or not).
std::vector<std::string_view> passwordsOf(std::string_view url) {
    std::vector<std::string_view> found;
    auto scheme = url.find("://");
    if (scheme == std::string_view::npos) return found;
    std::string_view rest = url.substr(scheme + 3);
    std::string_view authority = rest.substr(0, rest.find_first_of("/?"));
    if (auto at = authority.rfind('@'); at != std::string_view::npos) {
        std::string_view userInfo = authority.substr(0, at);
        if (auto colon = userInfo.find(':'); colon != std::string_view::npos)
            found.push_back(userInfo.substr(colon + 1));
    }
    if (auto query = rest.find('?'); query != std::string_view::npos) {
        std::string_view params = rest.substr(query + 1);
        while (!params.empty()) {
            std::string_view param = params.substr(0, params.find('&'));
            if (param.starts_with("password=")) found.push_back(param.substr(9));
            params.remove_prefix(std::min(params.size(), param.size() + 1));
        }
    }
    return found;
}

}  // namespace

std::string hidePasswords(std::string text, std::string_view url) {
    for (std::string_view password : passwordsOf(url)) {
        if (password.empty()) continue;
        for (auto at = text.find(password); at != std::string::npos;
             at = text.find(password, at + 3))
            text.replace(at, password.size(), "***");
    }
    return text;
}

}  // namespace appserver
