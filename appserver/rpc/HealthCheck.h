#pragma once
// GET /health for load balancers and operators: 200 with {"status":"ok","store":"ok",...} when
// the worker's store answers a cheap query, 503 with the reason in Portuguese when it does not.
// No body is read, nothing is written, and the answer is kept out of the call log.

#include <optional>
#include <string_view>

#include "rpc/RequestHandler.h"
#include "store/Store.h"

namespace appserver {

inline constexpr std::string_view kHealthPath = "/health";

// The running server's version, as reported by the health check.
std::string_view serverVersion();

// store may be null (a worker without a database connection): answered 503.
Reply healthReply(Store* store, std::string_view verb);

// A /health request judged from its headers alone, since it needs no sign-in and must never make
// the server hold a body: another verb is 405 (Allow: GET), a GET with a body 400; nullopt for a
// GET without one, which healthReply answers.
std::optional<Reply> healthRefusal(std::string_view verb, bool hasBody);

}  // namespace appserver
