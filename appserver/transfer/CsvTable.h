#pragma once
// A CSV file of known columns, read record by record for an import: the header must name the
// columns in order (case and surrounding blanks aside), every record must have one field per
// column, values are trimmed and their formula guard undone. Whatever is wrong becomes an
// ImportProblem with line and column, and that record is skipped; a wrong header ends the file.

#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "csv/CsvReader.h"
#include "transfer/ImportPreview.h"

namespace appserver {

class CsvTable {
  public:
    CsvTable(std::istream& in, std::span<const std::string_view> columns)
        : m_reader(in), m_columns(columns) {}
    CsvTable(const CsvTable&) = delete;
    CsvTable& operator=(const CsvTable&) = delete;

    // The next sound record; false at the end (or after a wrong header).
    bool next(CsvRecord& record, std::vector<ImportProblem>& problems);

  private:
    bool readHeader(std::vector<ImportProblem>& problems);

    CsvReader m_reader;
    std::span<const std::string_view> m_columns;
    bool m_headerRead = false;
    bool m_ended = false;
};

}  // namespace appserver
