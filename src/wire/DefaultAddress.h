#pragma once
// Where the application server listens unless told otherwise, and so where the host looks for it
// unless configured otherwise: loopback, so that nothing is reachable from the network by default.
// scripts/run.sh reads both values from this file: keep each on one line, in this form.

#include <string_view>

namespace wire {

inline constexpr std::string_view kDefaultHost = "127.0.0.1";
inline constexpr unsigned short kDefaultPort = 8427;

}  // namespace wire
