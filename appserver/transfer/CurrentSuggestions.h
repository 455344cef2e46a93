#pragma once
// The suggestions as stored, read into the links an import compares with: every stored group
// into the group table, with its name and order, and its main and related links.

#include "store/Store.h"
#include "transfer/Catalogue.h"
#include "transfer/SuggestionLinks.h"

namespace appserver {

wire::Status readCurrentSuggestions(Store& store, const Catalogue& catalogue,
                                    SuggestionLinks& links);

}  // namespace appserver
