#pragma once
// The exports, streamed from the store into out as CSV with ';' (transfer/TransferColumns.h):
// what the imports read back unchanged. A failed write or read stops with its Status; what was
// written stays.

#include <ostream>
#include <string_view>

#include "store/Store.h"

namespace appserver {

// produto;arvore;nome, by tree code.
wire::Status exportProducts(Store& store, std::ostream& out);
// One line per group, main product and related product (Store::suggestions); group: only that
// one, "" for all.
wire::Status exportSuggestions(Store& store, std::string_view group, std::ostream& out);
// The same file as a packet of wire::fields::kCsvLines: one row per record, header first, each
// without its CRLF (a quoted value keeps the line breaks it holds), for the remote export.
wire::Status exportSuggestionLines(Store& store, std::string_view group, wire::PacketSink& out);

}  // namespace appserver
