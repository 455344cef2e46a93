#pragma once
// Reads CSV as RFC 4180 has it, one record at a time from a stream, never holding more than one
// record: fields may be quoted ("a;b", "say ""hi"""), quoted fields may span lines, records end
// in CRLF, LF or CR. A UTF-8 byte-order mark at the start is skipped. The delimiter is ';' or ','
// as the first record shows it (the first of the two found outside quotes), else ';'. Blank lines
// are skipped. Guarded formulas (csv/FormulaGuard.h) are not undone here: that is the caller's
// choice per column.
//
// A malformed record (a stray quote, a quote left open, invalid UTF-8, a record over the size
// limit) comes back with its error, line and column; reading goes on at the next line, so every
// bad line of a file can be reported in one pass.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace appserver {

struct CsvPosition {
    std::size_t line = 0;    // 1-based line of the file
    std::size_t column = 0;  // 1-based field of the record
};

struct CsvRecord {
    std::vector<std::string> fields;
    std::size_t line = 0;  // where the record starts
    std::optional<CsvPosition> errorAt;
    std::string error;  // in the user's words; empty when the record is sound
};

class CsvReader {
  public:
    // Over 64 KiB a record is refused: no line of ours comes near it, and a file that is not CSV
    // (a binary, a quote left open) cannot make the reader hold all of it.
    static constexpr std::size_t kMaxRecordBytes = 64 * 1024;

    explicit CsvReader(std::istream& in) : m_in(*in.rdbuf()) {}
    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // The next record into record; false at the end of the input.
    bool next(CsvRecord& record);
    char delimiter() const { return m_delimiter ? m_delimiter : ';'; }

  private:
    void skipByteOrderMark();
    int get();
    int peek();
    void endLine(int c);  // counts the line break c began ("\r\n" once)
    void fail(CsvRecord& record, std::string message);
    void skipRestOfLine();
    bool isDelimiter(int c);

    std::streambuf& m_in;
    std::string m_pending;  // read ahead, to be read again
    std::size_t m_line = 1;
    char m_delimiter = 0;  // 0 until the first record shows it
    bool m_started = false;
};

}  // namespace appserver
