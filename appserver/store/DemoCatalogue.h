#pragma once
// The demo catalogue: about 5,000 products of a Brazilian supermarket with invented brands,
// tree codes "d.dd.ddd.dddd" (the default product-code edit mask) and a few suggestion groups
// with main and related products. The same every time: built from fixed tables, no randomness.

#include "wire/ChangeLog.h"

namespace appserver {

struct DemoCatalogue {
    wire::ChangeLog products;      // CDPRODUTO CDARVPROD NMPRODUTO
    wire::ChangeLog groups;        // CDGRUSUGESPROD NMGRUSUGESPROD NRORDEM
    wire::ChangeLog mainProducts;  // CDGRUSUGESPROD CDPRODUTO IDQUANTPRODPRINC IDTOTALPRODPRINC
    wire::ChangeLog
        relatedProducts;  // CDGRUSUGESPROD CDPRODUTO CDPRODUTORELAC IDQUANTPROD IDTOTALPROD

    static DemoCatalogue build();
};

}  // namespace appserver
