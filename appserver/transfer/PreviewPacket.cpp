#include "transfer/PreviewPacket.h"

#include <array>
#include <string>

#include "transfer/ImportReport.h"
#include "wire/ColumnFields.h"

namespace appserver {
namespace {

// text within limit characters (UTF-8): when longer, its first limit - 1 characters and "…".
std::string_view fitted(std::string_view text, std::size_t limit, std::string& buffer) {
    if (wire::utf8Length(text) <= limit) return text;
    std::size_t kept = 0, at = 0;
    for (; at < text.size(); ++at) {
        const bool starts = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
        if (starts && kept++ == limit - 1) break;
    }
    buffer.assign(text.substr(0, at)).append("…");
    return buffer;
}

// line and column 0 are written as "".
wire::Status row(wire::PacketSink& out, std::size_t line, std::size_t column,
                 std::string_view action, std::string_view description) {
    std::string cut;
    const std::string lineText = line ? std::to_string(line) : std::string();
    const std::string columnText = column ? std::to_string(column) : std::string();
    const std::array<wire::ValueView, 4> values = {
        lineText, columnText, action,
        fitted(description, static_cast<std::size_t>(wire::column::TXDESCRICAO.size), cut)};
    return out.onRow(values);
}

}  // namespace

wire::Status writePreviewPacket(const ImportPreview& preview, wire::PacketSink& out) {
    if (auto s = out.onFields(wire::fieldDefs(wire::fields::kImportPreview)); !s) return s;
    if (auto s = forEachPreviewEntry(preview,
                                     [&out](const PreviewEntry& e) {
                                         return row(out, e.line, e.column, e.action, e.description);
                                     });
        !s)
        return s;
    return row(out, 0, 0, "resumo", summaryLine(preview.counts()));
}

}  // namespace appserver
