#pragma once
// Limits shared by client and server; docs/protocol.md states the same numbers.

#include <cstddef>

namespace wire {

inline constexpr std::size_t kMaxBodyBytes = 200u * 1024u * 1024u;  // one request or answer body
inline constexpr int kMaxFieldSize = 8192;                          // characters of one field
// Bytes of one text in any envelope we read: a field of kMaxFieldSize characters in UTF-8.
inline constexpr std::size_t kMaxTextBytes = 4u * kMaxFieldSize;
inline constexpr std::size_t kMaxFields = 256;  // fields of one packet
inline constexpr int kMaxDepth = 8;  // JSON nesting of any document we read (ours never exceed 5)
inline constexpr std::size_t kMaxMethodName = 128;

}  // namespace wire
