#pragma once
// A suggestions file read and checked line by line: groups, their main products and the related
// products of each, with tree codes resolved to stored products. Every error is reported with
// line and column: a group code that is not ten digits, a name or order of another group, an
// unknown product, a product related to itself, a flag other than S/N, a group or link given
// twice with different values. A line with an error takes no part in the model.

#include <istream>
#include <map>
#include <string>
#include <vector>

#include "transfer/Catalogue.h"
#include "transfer/CurrentSuggestions.h"
#include "transfer/ImportPreview.h"

namespace appserver {

struct FileRelated {
    std::size_t line = 0;
    std::string code;  // CDPRODUTO
    SuggestionFlags flags;
};

struct FileMain {
    std::size_t line = 0;
    std::string code;  // CDPRODUTO
    SuggestionFlags flags;
    std::map<std::string, FileRelated> related;  // by stored tree code
};

struct FileGroup {
    std::size_t line = 0;
    std::string name, order;
    std::map<std::string, FileMain> mains;  // by stored tree code
};

using SuggestionFile = std::map<std::string, FileGroup>;  // by group code

// Reads csv to its end; problems receives every error.
SuggestionFile readSuggestionFile(std::istream& csv, const Catalogue& catalogue,
                                  const CurrentSuggestions& current,
                                  std::vector<ImportProblem>& problems);

}  // namespace appserver
