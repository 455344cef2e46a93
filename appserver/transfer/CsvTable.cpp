#include "transfer/CsvTable.h"

#include "csv/FormulaGuard.h"
#include "store/TextKeys.h"

namespace appserver {

namespace {

std::string lowered(std::string_view text) {
    std::string low(trimBlanks(text));
    for (char& c : low)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return low;
}

std::string expectedHeader(std::span<const std::string_view> columns) {
    std::string text;
    for (std::string_view c : columns) text += (text.empty() ? "" : ";") + std::string(c);
    return text;
}

}  // namespace

bool CsvTable::readHeader(std::vector<ImportProblem>& problems) {
    m_headerRead = true;
    CsvRecord header;
    const std::string expected = "cabeçalho esperado: " + expectedHeader(m_columns);
    if (!m_reader.next(header)) {
        problems.push_back({1, 0, "arquivo vazio; " + expected});
        return false;
    }
    if (!header.error.empty()) {
        problems.push_back({header.errorAt->line, header.errorAt->column, header.error});
        return false;
    }
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (i >= header.fields.size() || lowered(header.fields[i]) != m_columns[i]) {
            problems.push_back({header.line, i + 1, "cabeçalho inválido; " + expected});
            return false;
        }
    }
    if (header.fields.size() > m_columns.size()) {
        problems.push_back({header.line, m_columns.size() + 1, "cabeçalho inválido; " + expected});
        return false;
    }
    return true;
}

bool CsvTable::next(CsvRecord& record, std::vector<ImportProblem>& problems) {
    if (!m_headerRead && !readHeader(problems)) m_ended = true;
    while (!m_ended && m_reader.next(record)) {
        if (!record.error.empty()) {
            problems.push_back({record.errorAt->line, record.errorAt->column, record.error});
            continue;
        }
        if (record.fields.size() != m_columns.size()) {
            const std::size_t column = std::min(record.fields.size(), m_columns.size()) + 1;
            problems.push_back({record.line, column,
                                "esperadas " + std::to_string(m_columns.size()) +
                                    " colunas, encontradas " +
                                    std::to_string(record.fields.size())});
            continue;
        }
        for (std::string& field : record.fields)
            field = std::string(unguardFormula(trimBlanks(field)));
        return true;
    }
    m_ended = true;
    return false;
}

}  // namespace appserver
