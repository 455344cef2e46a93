#pragma once
// The one table of the columns the server stores and answers, with their sizes in characters.
// The schema's checks, the answers' field lists, the writers' rules, the refusals' wording and
// the demo catalogue take names and sizes from here; the screen's record sets use the same sizes
// (a test loads every answer into them). Changing a size here needs a schema migration too.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "wire/FieldDef.h"

namespace appserver {

// Intentionally copyable.
struct Column {
    std::string_view name;
    int size = 0;       // characters
    bool flag = false;  // holds null, "S" or "N" only

    wire::FieldDef field() const { return {std::string(name), size}; }
};

namespace column {

inline constexpr Column CDGRUSUGESPROD{"CDGRUSUGESPROD", 10};
inline constexpr Column NMGRUSUGESPROD{"NMGRUSUGESPROD", 40};
inline constexpr Column NRORDEM{"NRORDEM", 4};

inline constexpr Column CDPRODUTO{"CDPRODUTO", 10};
inline constexpr Column CDARVPROD{"CDARVPROD", 20};
inline constexpr Column NMPRODUTO{"NMPRODUTO", 50};

inline constexpr Column IDQUANTPRODPRINC{"IDQUANTPRODPRINC", 1, true};
inline constexpr Column IDTOTALPRODPRINC{"IDTOTALPRODPRINC", 1, true};

// A related product: the product's own columns under the relation's names.
inline constexpr Column CDPRODUTORELAC{"CDPRODUTORELAC", CDPRODUTO.size};
inline constexpr Column CDARVPRODRELAC{"CDARVPRODRELAC", CDARVPROD.size};
inline constexpr Column NMPRODUTORELAC{"NMPRODUTORELAC", NMPRODUTO.size};
inline constexpr Column IDQUANTPROD{"IDQUANTPROD", 1, true};
inline constexpr Column IDTOTALPROD{"IDTOTALPROD", 1, true};

}  // namespace column

// The field list of a packet or change log, in the given order.
inline std::vector<wire::FieldDef> fieldList(std::initializer_list<Column> columns) {
    std::vector<wire::FieldDef> fields;
    fields.reserve(columns.size());
    for (const Column& c : columns) fields.push_back(c.field());
    return fields;
}

}  // namespace appserver
