#pragma once
// One page of a group's history as the screen reads it (wire::fields::kHistory), newest first:
// at most wire::kHistoryPageRows rows below a history number, found through the index on
// (group, [main product,] number) so the first page of a long history costs what a short one
// does.

#include "store/SqlConnection.h"
#include "store/Store.h"

namespace appserver {

// InvalidParams when query.before is neither empty nor a history number.
wire::Status readHistoryPage(SqlConnection& conn, const HistoryPageQuery& query,
                             wire::PacketSink& out);

}  // namespace appserver
