#pragma once
// The demo catalogue: about 5,000 products of a Brazilian supermarket with invented brands,
// tree codes "d.dd.ddd.dddd" (the default product-code edit mask) and a few suggestion groups
// with main and related products. The same every time: built from fixed tables, no randomness.

#include <span>
#include <vector>

#include "wire/ChangeLog.h"
#include "wire/Status.h"

namespace appserver {

// A suggestion group of the demo, drawing on product families by their base name ("Arroz").
struct DemoGroup {
    const char* name;
    std::vector<const char*> mains;    // families whose first two products are main products
    std::vector<const char*> related;  // families whose first product goes with each of them
};

struct DemoCatalogue {
    wire::ChangeLog products;      // CDPRODUTO CDARVPROD NMPRODUTO
    wire::ChangeLog groups;        // CDGRUSUGESPROD NMGRUSUGESPROD NRORDEM
    wire::ChangeLog mainProducts;  // CDGRUSUGESPROD CDPRODUTO IDQUANTPRODPRINC IDTOTALPRODPRINC
    wire::ChangeLog
        relatedProducts;  // CDGRUSUGESPROD CDPRODUTO CDPRODUTORELAC IDQUANTPROD IDTOTALPROD

    // The catalogue with its own groups.
    static wire::Result<DemoCatalogue> build();
    // The same products with other groups. A family that no product belongs to (a slip in a
    // table) is an Internal error naming it, never an empty list.
    static wire::Result<DemoCatalogue> build(std::span<const DemoGroup> groups);
};

}  // namespace appserver
