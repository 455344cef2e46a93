#include "csv/CsvReader.h"

#include "wire/FieldDef.h"

namespace appserver {

namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool isLineBreak(int c) { return c == '\n' || c == '\r'; }

}  // namespace

int CsvReader::get() {
    if (m_pending.empty()) return m_in.sbumpc();
    const int c = static_cast<unsigned char>(m_pending.front());
    m_pending.erase(0, 1);
    return c;
}

int CsvReader::peek() {
    return m_pending.empty() ? m_in.sgetc() : static_cast<unsigned char>(m_pending.front());
}

// Bytes read while looking for a byte-order mark that was not one are read again as text.
void CsvReader::skipByteOrderMark() {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    std::string head;
    while (head.size() < kBom.size() &&
           m_in.sgetc() == static_cast<unsigned char>(kBom[head.size()]))
        head += static_cast<char>(m_in.sbumpc());
    if (head != kBom) m_pending = head;
}

void CsvReader::endLine(int c) {
    if (c == '\r' && peek() == '\n') get();
    ++m_line;
}

bool CsvReader::isDelimiter(int c) {
    if (!m_delimiter && (c == ';' || c == ',')) m_delimiter = static_cast<char>(c);
    return c == m_delimiter;
}

void CsvReader::fail(CsvRecord& record, std::string message) {
    if (!record.error.empty()) return;
    record.errorAt = CsvPosition{m_line, record.fields.size() + 1};
    record.error = std::move(message);
}

void CsvReader::skipRestOfLine() {
    for (int c = get(); c != kEnd; c = get()) {
        if (isLineBreak(c)) {
            endLine(c);
            return;
        }
    }
}

bool CsvReader::next(CsvRecord& record) {
    record = CsvRecord{};
    if (!m_started) {
        m_started = true;
        skipByteOrderMark();
    }
    // Blank lines between records carry nothing.
    while (isLineBreak(peek())) endLine(get());
    if (peek() == kEnd) return false;

    record.line = m_line;
    std::string field;
    std::size_t bytes = 0;
    bool quoted = false;     // inside quotes now
    bool wasQuoted = false;  // the field began with a quote
    auto endField = [&] {
        if (!wire::isValidUtf8(field)) fail(record, "texto com UTF-8 inválido");
        record.fields.push_back(std::move(field));
        field.clear();
        wasQuoted = false;
    };
    for (;;) {
        int c = get();
        if (++bytes > kMaxRecordBytes) {
            fail(record, "registro com mais de 64 KiB");
            // Inside quotes no later line break can be trusted to end the record.
            if (quoted)
                while (get() != kEnd) {
                }
            else
                skipRestOfLine();
            return true;
        }
        if (quoted) {
            if (c == kEnd) {
                fail(record, "aspas abertas e não fechadas até o fim do arquivo");
                return true;
            }
            if (c == '"' && peek() == '"') {
                field += static_cast<char>(get());
            } else if (c == '"') {
                quoted = false;
                int after = peek();
                if (after != kEnd && !isLineBreak(after) && after != ';' && after != ',') {
                    fail(record, "caractere depois das aspas que fecham o campo");
                    skipRestOfLine();
                    return true;
                }
            } else {
                field += static_cast<char>(c);
                if (isLineBreak(c)) {  // a break inside quotes is part of the value
                    if (c == '\r' && peek() == '\n') field += static_cast<char>(get());
                    ++m_line;
                }
            }
            continue;
        }
        if (c == kEnd || isLineBreak(c)) {
            endField();
            if (c != kEnd) endLine(c);
            return true;
        }
        if (isDelimiter(c)) {
            endField();
        } else if (c == '"' && field.empty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (c == '"') {
            fail(record, "aspas no meio de um campo sem aspas");
            skipRestOfLine();
            return true;
        } else if (wasQuoted) {
            fail(record, "caractere depois das aspas que fecham o campo");
            skipRestOfLine();
            return true;
        } else {
            field += static_cast<char>(c);
        }
    }
}

}  // namespace appserver
