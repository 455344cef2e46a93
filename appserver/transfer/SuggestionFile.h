#pragma once
// A suggestions file read and checked line by line into the links an import compares: its
// groups into the group table, its main and related links by catalogue number. Every error is
// reported with line and column: a group code that is not ten digits, a name or order of another
// group, an unknown product, a product related to itself, a flag other than S/N, a group or link
// given twice with different values. A line with an error takes no part in the links.

#include <istream>
#include <vector>

#include "transfer/Catalogue.h"
#include "transfer/ImportPreview.h"
#include "transfer/SuggestionLinks.h"

namespace appserver {

// Reads csv to its end into links, which already hold the stored groups (whose names and orders
// the file's groups may not take), then sorts links; problems receives every error.
void readSuggestionFile(std::istream& csv, const Catalogue& catalogue, SuggestionLinks& links,
                        std::vector<ImportProblem>& problems);

}  // namespace appserver
