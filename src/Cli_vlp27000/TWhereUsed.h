#pragma once
// Where a product is suggested, as the server answered GetOndeUsado: one row per list, in the
// server's order (group order, then the main product's tree code). A plain value, read once from
// the answer.

#include <string>
#include <vector>

class TClientDataSet;

// A product as the user sees it: its code, tree code and name.
struct TProductRef {
    std::string Code, TreeCode, Name;
    std::string Shown() const { return TreeCode + " " + Name; }
};

struct TWhereUsedRow {
    std::string Group, GroupName;
    TProductRef Main;  // the main product of the list
    bool AsMain;       // the product is that main product; otherwise related to it
};

// The product in that row of a list of products (fields CDPRODUTO, CDARVPROD, NMPRODUTO).
TProductRef ProductInRow(const TClientDataSet& products, int row);

// From the answer's record set (fields of wire::fields::kWhereUsed).
std::vector<TWhereUsedRow> WhereUsedRows(const TClientDataSet& answer);
