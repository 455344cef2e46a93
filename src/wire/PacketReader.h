#pragma once
// Decodes a data packet (JSON text, see docs/protocol.md) by streaming it into a sink; no DOM.
// Refuses, with BadPacket or ParseError: malformed or truncated JSON, invalid UTF-8, nesting past
// kMaxDepth, a field without name or with a size outside 1..kMaxFieldSize, duplicate field names,
// a row whose value count differs from the field count, a value that is neither text nor null,
// and a value longer than its field. On failure the sink may have seen part of the packet.

#include <string_view>

#include "wire/PacketSink.h"
#include "wire/Status.h"

namespace wire {

Status readPacket(std::string_view json, PacketSink& sink);

}  // namespace wire
