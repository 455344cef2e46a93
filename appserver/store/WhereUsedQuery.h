#pragma once
// The lists a product is in: as main product (TPUSO "P") or related (TPUSO "R"), with the group
// and the list's main product, by group order (as the groups are listed) then the main product's
// tree code. Found through the indexes on the product (IX_PRODPRINC_PRODUTO, IX_PRODRELAC_USO).

#include "store/SqlConnection.h"

namespace appserver {

// $1: CDPRODUTO. CDGRUSUGESPROD NMGRUSUGESPROD CDPRODUTO CDARVPROD NMPRODUTO TPUSO.
extern const Query kWhereUsed;
// The same rows, followed by the place's two flags (of the main or the related row).
extern const Query kPlacesWithFlags;

}  // namespace appserver
