#include "transfer/CsvExport.h"

#include "csv/CsvWriter.h"
#include "transfer/TransferColumns.h"

namespace appserver {

wire::Status exportProducts(Store& store, std::ostream& out) {
    CsvSink csv(out, kCsvDelimiter, kProductColumns);
    return store.allProducts(csv);
}

wire::Status exportSuggestions(Store& store, std::string_view group, std::ostream& out) {
    CsvSink csv(out, kCsvDelimiter, kSuggestionColumns);
    return store.suggestions(group, csv);
}

}  // namespace appserver
