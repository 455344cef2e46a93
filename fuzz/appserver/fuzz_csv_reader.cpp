// The CSV reader on arbitrary bytes: it must end, never hold more than one record, and report
// every record it cannot read with a position inside the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "csv/CsvReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    appserver::CsvReader reader(in);
    appserver::CsvRecord record;
    std::size_t lastLine = 0;
    while (reader.next(record)) {
        std::size_t bytes = 0;
        for (const std::string& field : record.fields) bytes += field.size();
        if (bytes > appserver::CsvReader::kMaxRecordBytes) std::abort();
        if (record.line < lastLine || record.line > size + 1) std::abort();
        if (!record.error.empty() && (!record.errorAt || record.errorAt->line < record.line))
            std::abort();
        lastLine = record.line;
    }
    return 0;
}
