#pragma once
// CSV as RFC 4180 has it: a field holding a comma, a double quote, CR or LF is quoted, with its
// quotes doubled; records end in CRLF; text passes through as it is (UTF-8). A null value is an
// empty field. The file is meant for spreadsheets, and names and codes are typed by users: a
// field a spreadsheet would run as a formula (starting with =, +, -, @, tab or CR) gets a
// leading apostrophe, so it is shown as text instead.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "wire/PacketSink.h"

namespace appserver {

std::string csvField(std::string_view value);

// The values as one record, CRLF included.
std::string csvRecord(std::span<const wire::ValueView> values);

// Streams a read as CSV: a header row of the field names, then one record per row.
class CsvSink : public wire::PacketSink {
  public:
    explicit CsvSink(std::ostream& out) : m_out(out) {}
    CsvSink(const CsvSink&) = delete;
    CsvSink& operator=(const CsvSink&) = delete;

    wire::Status onFields(const std::vector<wire::FieldDef>& fields) override;
    wire::Status onRow(std::span<const wire::ValueView> values) override;

  private:
    wire::Status written();
    std::ostream& m_out;
};

}  // namespace appserver
