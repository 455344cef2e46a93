#pragma once
// The lists a product is in: as a group's main product, or related to one, with the group and
// the list's main product, ordered as the groups are listed (order, then code, both as numbers
// would be) then by the main product's tree code, "P" before "R". The places come from the
// indexes on the product alone (IX_PRODPRINC_PRODUTO, IX_PRODRELAC_USO, which holds the flags
// too); groups and main products are read once each and the places sorted here, so a product in
// 10,000 lists costs little more than reading those index entries.

#include <string>
#include <vector>

#include "store/SqlConnection.h"

namespace appserver {

struct Place {
    std::string group, groupName, groupOrder;
    std::string main, mainTree, mainName;  // the list's main product
    bool isMain = false;                   // the product is that main product
    wire::Value quantity, total;           // the flags of its row there
};

wire::Result<std::vector<Place>> readPlaces(SqlConnection& conn, std::string_view product);

// The places of product as wire::fields::kWhereUsed, written from what was read without a copy.
wire::Status writeWhereUsed(SqlConnection& conn, std::string_view product, wire::PacketSink& out);

}  // namespace appserver
