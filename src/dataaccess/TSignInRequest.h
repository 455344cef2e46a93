#pragma once
// What a connection asks when the server refuses who calls (TNetConnection::SetSignInHook): the
// server, its reason in its own words, and the name tried last. The hook answers with the
// credentials to try next, or nullopt when the user gave up.

#include <functional>
#include <optional>
#include <string>

#include "dataaccess/TCredentials.h"

struct TSignInRequest {
    std::string Server;    // "host:port"
    std::string Reason;    // why the server refused, e.g. "Usuário ou senha incorretos."
    std::string UserName;  // the name last tried on this connection; "" when none
};

using TSignInHook = std::function<std::optional<TCredentials>(const TSignInRequest&)>;
