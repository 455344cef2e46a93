#pragma once
// Text bound for the log, made safe to show: a client chooses method and user names, and a raw
// control, line separator or bidirectional override in them could end a line early, forge the
// next one or make a terminal show something else than was written. Every control and format
// character (and the backslash, so an escape cannot be forged) becomes \u{hex}; a byte that is
// not part of valid UTF-8 becomes \x{hex}. Everything else passes unchanged.

#include <string>
#include <string_view>

namespace appserver {

std::string escapeForLog(std::string_view text);

}  // namespace appserver
