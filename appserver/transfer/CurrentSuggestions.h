#pragma once
// The suggestions as stored, for an import to compare with: every group with its main and
// related products, keyed by group code and tree code.

#include <map>
#include <string>

#include "store/Store.h"

namespace appserver {

struct SuggestionFlags {
    wire::Value quantity, total;
    bool operator==(const SuggestionFlags&) const = default;
};

struct CurrentMain {
    SuggestionFlags flags;
    std::map<std::string, SuggestionFlags> related;  // by tree code
};

struct CurrentGroup {
    std::string name, order;
    std::map<std::string, CurrentMain> mains;  // by tree code
};

using CurrentSuggestions = std::map<std::string, CurrentGroup>;  // by group code

wire::Result<CurrentSuggestions> readCurrentSuggestions(Store& store);

}  // namespace appserver
