#pragma once
// Receives a decoded data packet into a fresh RowStore for a record set's design-time fields, so
// the record set can swap it in only once the whole packet has been accepted. Refuses a packet
// that lacks a design-time field and a value longer than its design-time field, with a message
// naming the record set and the field; packet fields the record set does not know are skipped.

#include <string>
#include <vector>

#include "dataaccess/RowStore.h"
#include "wire/PacketSink.h"

class DataSetLoader : public wire::PacketSink {
  public:
    DataSetLoader(const std::string& dataSetName, const std::vector<wire::FieldDef>& fields);

    wire::Status onFields(const std::vector<wire::FieldDef>& packetFields) override;
    wire::Status onRow(std::span<const wire::ValueView> values) override;

    bool sawFields() const { return m_sawFields; }
    // True when decoding stopped on a refusal of this loader (its message names the field).
    bool refused() const { return m_refused; }
    // The loaded rows; call once, after decoding succeeded.
    RowStore take();

  private:
    wire::Status refuse(std::string message);

    const std::string& m_name;
    const std::vector<wire::FieldDef>& m_fields;
    std::vector<int> m_source;      // packet column of each design-time field
    std::vector<bool> m_mustCount;  // the packet allows longer values than the design does
    std::vector<wire::ValueView> m_row;
    RowStore m_store;
    bool m_sawFields = false;
    bool m_refused = false;
    long m_rowNumber = 0;
};
