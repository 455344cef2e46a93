#pragma once
// Streams a data packet out as JSON text, appending to a caller's string; also a PacketSink, so a
// store can write its rows straight into an answer. Values must be valid UTF-8 (not checked here).

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "wire/PacketSink.h"

namespace wire {

class PacketWriter : public PacketSink {
  public:
    explicit PacketWriter(std::string& out);
    ~PacketWriter() override;
    PacketWriter(const PacketWriter&) = delete;
    PacketWriter& operator=(const PacketWriter&) = delete;

    Status onFields(const std::vector<FieldDef>& fields) override;
    Status onRow(std::span<const ValueView> values) override;
    // Closes the packet; a packet with fields and no rows is valid. Call exactly once.
    void finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace wire
