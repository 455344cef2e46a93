#pragma once
// Receives a data packet as it is decoded, so large packets go straight into their final storage.

#include <span>
#include <vector>

#include "wire/FieldDef.h"
#include "wire/Status.h"

namespace wire {

class PacketSink {
  public:
    virtual ~PacketSink() = default;
    // Called once, before any row. A non-ok Status stops decoding with that Status.
    virtual Status onFields(const std::vector<FieldDef>& fields) = 0;
    // One row, one value per field in field order. The views live only during the call.
    virtual Status onRow(std::span<const ValueView> values) = 0;
};

}  // namespace wire
