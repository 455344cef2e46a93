#pragma once
// An error answer the server could not address to a request: id null, because the body was
// unreadable, too large or sent to an unknown path. Unlike an answer for another id, it is the
// server's word and its message is for the user.

#include <optional>
#include <string>
#include <string_view>

struct RpcUnaddressedError {
    int code = 0;
    std::string message;

    // The error when body is such an answer; nothing otherwise (garbage, results, other ids).
    static std::optional<RpcUnaddressedError> read(std::string_view body);
};
