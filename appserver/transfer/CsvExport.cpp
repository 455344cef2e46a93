#include "transfer/CsvExport.h"

#include "csv/CsvWriter.h"
#include "transfer/TransferColumns.h"
#include "wire/ColumnFields.h"

namespace appserver {
namespace {

// Each record of the export as one row of a packet of lines.
class CsvLineSink : public wire::PacketSink {
  public:
    explicit CsvLineSink(wire::PacketSink& out) : m_out(out) {}

    wire::Status onFields(const std::vector<wire::FieldDef>&) override {
        if (auto s = m_out.onFields(wire::fieldDefs(wire::fields::kCsvLines)); !s) return s;
        const std::vector<wire::ValueView> names(kSuggestionColumns.begin(),
                                                 kSuggestionColumns.end());
        return line(names);
    }
    wire::Status onRow(std::span<const wire::ValueView> values) override { return line(values); }

  private:
    wire::Status line(std::span<const wire::ValueView> values) {
        std::string record = csvRecord(values, kCsvDelimiter);
        record.resize(record.size() - 2);  // its CRLF
        const wire::ValueView text = record;
        return m_out.onRow({&text, 1});
    }

    wire::PacketSink& m_out;
};

}  // namespace

wire::Status exportProducts(Store& store, std::ostream& out) {
    CsvSink csv(out, kCsvDelimiter, kProductColumns);
    return store.allProducts(csv);
}

wire::Status exportSuggestions(Store& store, std::string_view group, std::ostream& out) {
    CsvSink csv(out, kCsvDelimiter, kSuggestionColumns);
    return store.suggestions(group, csv);
}

wire::Status exportSuggestionLines(Store& store, std::string_view group, wire::PacketSink& out) {
    CsvLineSink lines(out);
    return store.suggestions(group, lines);
}

}  // namespace appserver
