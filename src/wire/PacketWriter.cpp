#include "wire/PacketWriter.h"

#include "wire/JsonOut.h"

namespace wire {

struct PacketWriter::Impl {
    explicit Impl(std::string& o) : out(o), writer(buffer) {}
    std::string& out;
    detail::JsonBuffer buffer;
    detail::JsonWriter writer;
    bool rowsOpen = false;
    bool finished = false;
};

PacketWriter::PacketWriter(std::string& out) : m_impl(std::make_unique<Impl>(out)) {}

PacketWriter::~PacketWriter() = default;

Status PacketWriter::onFields(const std::vector<FieldDef>& fields) {
    auto& w = m_impl->writer;
    w.StartObject();
    detail::writeFields(w, fields);
    w.Key("rows");
    w.StartArray();
    m_impl->rowsOpen = true;
    return Status::ok();
}

Status PacketWriter::onRow(std::span<const ValueView> values) {
    detail::writeValues(m_impl->writer, values);
    return Status::ok();
}

void PacketWriter::finish() {
    if (m_impl->finished) return;
    auto& w = m_impl->writer;
    if (!m_impl->rowsOpen) onFields({});
    w.EndArray();
    w.EndObject();
    m_impl->out.append(m_impl->buffer.GetString(), m_impl->buffer.GetSize());
    m_impl->finished = true;
}

}  // namespace wire
