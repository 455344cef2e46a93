#include "wire/Packet.h"

#include "wire/JsonOut.h"
#include "wire/PacketReader.h"
#include "wire/PacketWriter.h"

namespace wire {

Status Packet::onFields(const std::vector<FieldDef>& f) {
    fields = f;
    rows.clear();
    return Status::ok();
}

Status Packet::onRow(std::span<const ValueView> values) {
    std::vector<Value>& row = rows.emplace_back();
    row.reserve(values.size());
    for (const ValueView& v : values) row.push_back(v ? Value(std::string(*v)) : std::nullopt);
    return Status::ok();
}

Result<Packet> Packet::fromJson(std::string_view json) {
    Packet packet;
    Status s = readPacket(json, packet);
    if (!s.isOk()) return s;
    return packet;
}

std::string Packet::toJson() const {
    std::string out;
    PacketWriter writer(out);
    replay(writer);
    writer.finish();
    return out;
}

Status Packet::replay(PacketSink& sink) const {
    Status s = sink.onFields(fields);
    for (std::size_t i = 0; s.isOk() && i < rows.size(); ++i)
        s = sink.onRow(detail::views(rows[i]));
    return s;
}

}  // namespace wire
