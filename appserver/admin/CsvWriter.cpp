#include "admin/CsvWriter.h"

#include <vector>

namespace appserver {

std::string csvField(std::string_view value) {
    std::string text;
    if (!value.empty() &&
        std::string_view("=+-@\t\r").find(value.front()) != std::string_view::npos)
        text = "'";
    text += value;
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvRecord(std::span<const wire::ValueView> values) {
    std::string record;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) record += ',';
        if (values[i]) record += csvField(*values[i]);
    }
    return record + "\r\n";
}

wire::Status CsvSink::onFields(const std::vector<wire::FieldDef>& fields) {
    std::vector<wire::ValueView> names;
    for (const wire::FieldDef& f : fields) names.emplace_back(f.name);
    m_out << csvRecord(names);
    return written();
}

wire::Status CsvSink::onRow(std::span<const wire::ValueView> values) {
    m_out << csvRecord(values);
    return written();
}

// A full disk or a closed pipe stops the read instead of losing rows silently.
wire::Status CsvSink::written() {
    if (m_out) return {};
    return {wire::ErrorCode::Internal, "Não foi possível escrever a saída."};
}

}  // namespace appserver
