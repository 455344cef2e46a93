#pragma once
// Record sets for grid and framework tests: a product-like list with a code, a hidden internal
// code and a name, loaded from rows of text.

#include <memory>
#include <string>
#include <vector>

#include "dataaccess/TClientDataSet.h"
#include "wire/Packet.h"

inline std::unique_ptr<TClientDataSet> MakeProducts(
    const std::vector<std::vector<std::string>>& rows) {
    auto ds = std::make_unique<TClientDataSet>(
        "cdsProdutos", std::vector<TFieldDef>{{"CDARVPROD", 20, "Código", 0, true},
                                              {"CDPRODUTO", 10, "", 0, false},
                                              {"NMPRODUTO", 50, "Nome", 0, true}});
    wire::Packet packet;
    packet.fields = {{"CDARVPROD", 20}, {"CDPRODUTO", 10}, {"NMPRODUTO", 50}};
    for (const auto& row : rows) packet.rows.push_back({row.begin(), row.end()});
    ds->SetData(packet.toJson());
    return ds;
}

// Values of one field, rows joined by ',', for one-line assertions.
inline std::string Column(const TClientDataSet& ds, int field) {
    std::string out;
    for (int row = 0; row < ds.RecordCount(); ++row) {
        if (row) out += ',';
        auto value = ds.ValueAt(row, field);
        out += value ? std::string(*value) : "<null>";
    }
    return out;
}
