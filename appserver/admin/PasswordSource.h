#pragma once
// Where a new password comes from: a person at a terminal, or a line piped to standard input.
// Never a command-line argument, which other users of the machine could read.

#include <string>
#include <string_view>

#include "wire/Status.h"

namespace appserver {

inline constexpr std::size_t kMaxPassword = 1024;  // bytes

class PasswordSource {
  public:
    virtual ~PasswordSource() = default;
    // True when a person types the password (it is then asked twice and compared).
    virtual bool interactive() const = 0;
    // One password without its line end, at most kMaxPassword + 1 bytes (longer input is cut
    // there, so the caller can refuse it); an error in the user's words when nothing can be read.
    virtual wire::Result<std::string> read(std::string_view prompt) = 0;
};

}  // namespace appserver
