#include "csv/CsvWriter.h"

#include <vector>

#include "csv/FormulaGuard.h"

namespace appserver {

std::string csvField(std::string_view value, char delimiter) {
    std::string text = guardFormula(value);
    if (text.find_first_of(",\"\r\n") == std::string::npos &&
        text.find(delimiter) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvRecord(std::span<const wire::ValueView> values, char delimiter) {
    std::string record;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) record += delimiter;
        if (values[i]) record += csvField(*values[i], delimiter);
    }
    return record + "\r\n";
}

wire::Status CsvSink::onFields(const std::vector<wire::FieldDef>& fields) {
    std::vector<wire::ValueView> names;
    if (m_header.empty()) {
        for (const wire::FieldDef& f : fields) names.emplace_back(f.name);
    } else {
        names.assign(m_header.begin(), m_header.end());
    }
    m_out << csvRecord(names, m_delimiter);
    return written();
}

wire::Status CsvSink::onRow(std::span<const wire::ValueView> values) {
    m_out << csvRecord(values, m_delimiter);
    return written();
}

// A full disk or a closed pipe stops the read instead of losing rows silently.
wire::Status CsvSink::written() {
    if (m_out) return {};
    return {wire::ErrorCode::Internal, "Não foi possível escrever a saída."};
}

}  // namespace appserver
