#pragma once
// A whole data packet in memory, for small packets, servers and tests. Large packets should
// stream through PacketSink instead.

#include <string>
#include <string_view>
#include <vector>

#include "wire/PacketSink.h"

namespace wire {

struct Packet : PacketSink {
    std::vector<FieldDef> fields;
    std::vector<std::vector<Value>> rows;

    Status onFields(const std::vector<FieldDef>& f) override;
    Status onRow(std::span<const ValueView> values) override;

    static Result<Packet> fromJson(std::string_view json);
    std::string toJson() const;
    // Streams this packet into a sink (for instance a PacketWriter), as the reader would.
    Status replay(PacketSink& sink) const;

    bool operator==(const Packet& other) const {
        return fields == other.fields && rows == other.rows;
    }
};

}  // namespace wire
