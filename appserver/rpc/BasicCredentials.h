#pragma once
// The user name and password a request carries in "Authorization: Basic ...". Whatever the
// client sends is bounded and checked before anything is decoded or looked up; the password is
// wiped when the credentials die.

#include <string>
#include <string_view>

#include "wire/Status.h"

namespace appserver {

struct BasicCredentials {
    BasicCredentials() = default;
    BasicCredentials(std::string u, std::string p) : user(std::move(u)), password(std::move(p)) {}
    BasicCredentials(BasicCredentials&&) = default;
    BasicCredentials& operator=(BasicCredentials&&) = default;
    BasicCredentials(const BasicCredentials&) = delete;
    BasicCredentials& operator=(const BasicCredentials&) = delete;
    ~BasicCredentials();

    std::string user;
    std::string password;
};

// The longest Authorization header taken; a longer one is refused unread.
inline constexpr std::size_t kMaxAuthorizationBytes = 1024;

// Refused (InvalidRequest, with a message for the user) when the header is not "Basic" followed
// by base64 of "user:password", is too long, or either part is empty, not UTF-8 or holds control
// characters.
wire::Result<BasicCredentials> parseBasicCredentials(std::string_view header);

}  // namespace appserver
