#pragma once
// The check made on connecting that the server hosts the module: the "rpc.describe" request and
// the reading of its answer {"module":NAME,"methods":[...]}. A JSON-RPC "method not found" error
// or another module's name means the module is not hosted there; -32005 means the server refused
// who calls.

#include <cstdint>
#include <string>
#include <string_view>

class RpcModuleCheck {
  public:
    enum class Verdict { Hosted, NotHosted, Unauthenticated, ServerError, NotUnderstood };
    struct Outcome {
        Verdict verdict = Verdict::NotUnderstood;
        std::string message;  // the server's text (refusals) or what was wrong (NotUnderstood)
    };

    static std::string request(std::int64_t id);
    static Outcome read(std::string_view body, std::int64_t id, std::string_view module);
};
