#pragma once
// CSV as RFC 4180 has it: a field holding the delimiter, a comma, a double quote, CR or LF is
// quoted, with its quotes doubled; records end in CRLF; text passes through as it is (UTF-8). A
// null value is an empty field. The file is meant for spreadsheets: a value a spreadsheet would
// run as a formula is guarded (csv/FormulaGuard.h) and shown as text instead.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "wire/PacketSink.h"

namespace appserver {

std::string csvField(std::string_view value, char delimiter = ',');

// The values as one record, CRLF included.
std::string csvRecord(std::span<const wire::ValueView> values, char delimiter = ',');

// Streams a read as CSV: a header row (the field names, or the given names), then one record per
// row.
class CsvSink : public wire::PacketSink {
  public:
    explicit CsvSink(std::ostream& out, char delimiter = ',',
                     std::span<const std::string_view> header = {})
        : m_out(out), m_delimiter(delimiter), m_header(header) {}
    CsvSink(const CsvSink&) = delete;
    CsvSink& operator=(const CsvSink&) = delete;

    wire::Status onFields(const std::vector<wire::FieldDef>& fields) override;
    wire::Status onRow(std::span<const wire::ValueView> values) override;

  private:
    wire::Status written();
    std::ostream& m_out;
    char m_delimiter;
    std::span<const std::string_view> m_header;
};

}  // namespace appserver
