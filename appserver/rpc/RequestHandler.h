#pragma once
// Turns one HTTP request (verb, target, body) into one reply (status, body): no sockets, no
// threads, so it is tested on byte strings. Every failure becomes a JSON-RPC error answer; nothing
// is thrown. Batches are refused; notifications are answered with 204 and run nothing.

#include <string>
#include <string_view>

#include "store/Store.h"
#include "store/UserNames.h"
#include "wire/Status.h"

namespace appserver {

struct Reply {
    unsigned status = 200;  // HTTP status; 204 carries no body
    std::string body;       // a JSON-RPC answer
    std::string method;     // for the call log; "-" when the request named none
    int code = 0;           // 0: the call succeeded; else the JSON-RPC error code
    bool notification = false;
    bool logged = true;      // false: kept out of the call log (health checks)
    std::string allow;       // the Allow header of a 405, when not empty
    bool challenge = false;  // a 401: asks for Basic credentials (WWW-Authenticate)
};

// store is used only for calls of the module's methods and for GET /health. user is who the
// history names for the changes the call makes: the signed-in user, or "local" without sign-in.
Reply handleRequest(Store& store, std::string_view verb, std::string_view target,
                    std::string_view body, std::string_view user = kLocalUser);

// True when answering the request costs little whatever the data (GET /health, a method that reads
// one key's rows, a body refused unread), so it may run where it was read; false for lists and
// change logs, which must not hold up the connections read beside them.
bool answersAtOnce(std::string_view target, std::string_view body);

// The message of a request refused for want of memory.
extern const std::string kOutOfMemory;

// A reply refused before the body was read (too large, bad HTTP): a JSON-RPC error with id null.
Reply refusal(unsigned httpStatus, wire::ErrorCode code, std::string message);

}  // namespace appserver
