#include "Cli_vlp27000/TWhereUsed.h"

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TField.h"

TProductRef ProductInRow(const TClientDataSet& products, int row) {
    auto value = [&](const char* field) {
        return std::string(products.ValueAt(row, products.FieldByName(field).Index()).value_or(""));
    };
    return {value("CDPRODUTO"), value("CDARVPROD"), value("NMPRODUTO")};
}

std::vector<TWhereUsedRow> WhereUsedRows(const TClientDataSet& answer) {
    std::vector<TWhereUsedRow> rows;
    if (!answer.Active()) return rows;
    auto field = [&answer](const char* name) { return answer.FieldByName(name).Index(); };
    const int group = field("CDGRUSUGESPROD"), groupName = field("NMGRUSUGESPROD"),
              code = field("CDPRODUTO"), treeCode = field("CDARVPROD"), name = field("NMPRODUTO"),
              use = field("TPUSO");
    auto value = [&answer](int row, int at) {
        return std::string(answer.ValueAt(row, at).value_or(""));
    };
    for (int row = 0; row < answer.RecordCount(); ++row)
        rows.push_back({value(row, group),
                        value(row, groupName),
                        {value(row, code), value(row, treeCode), value(row, name)},
                        value(row, use) == "P"});
    return rows;
}
