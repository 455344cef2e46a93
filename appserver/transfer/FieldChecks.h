#pragma once
// The checks of a value read from an import file, worded for the user; each appends an
// ImportProblem at the record's line and the field's column and says whether the value passed.

#include <string>
#include <string_view>
#include <vector>

#include "csv/CsvReader.h"
#include "transfer/ImportPreview.h"
#include "wire/RemoteModule.h"

namespace appserver {

class FieldChecks {
  public:
    FieldChecks(const CsvRecord& record, std::vector<ImportProblem>& problems)
        : m_record(record), m_problems(problems) {}

    // column: 1-based. The value must be there and fit the column's size.
    bool required(std::size_t column, std::string_view label, const wire::Column& size);
    // May be empty; must fit the column's size.
    bool fits(std::size_t column, std::string_view label, const wire::Column& size);
    // "S", "N" or empty.
    bool flag(std::size_t column, std::string_view label);
    // Exactly as many ASCII digits as the column's size.
    bool digits(std::size_t column, std::string_view label, const wire::Column& size);

    void refuse(std::size_t column, std::string message);
    const std::string& value(std::size_t column) const { return m_record.fields[column - 1]; }
    std::size_t line() const { return m_record.line; }

  private:
    const CsvRecord& m_record;
    std::vector<ImportProblem>& m_problems;
};

}  // namespace appserver
