#pragma once
// Data packets of the screen's lists for tests and benchmarks, written by the wire's own packet
// writer.

#include <array>
#include <string>
#include <vector>

#include "wire/Packet.h"

inline std::string PacketJson(std::vector<wire::FieldDef> fields,
                              const std::vector<std::vector<std::string>>& rows) {
    wire::Packet packet;
    packet.fields = std::move(fields);
    for (const auto& row : rows) packet.rows.push_back({row.begin(), row.end()});
    return packet.toJson();
}

inline std::vector<std::vector<std::string>> Rows(
    const std::vector<std::array<std::string, 3>>& rows) {
    std::vector<std::vector<std::string>> out;
    for (const auto& row : rows) out.push_back({row.begin(), row.end()});
    return out;
}

inline const std::vector<wire::FieldDef> kGroupFields = {
    {"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}, {"NRORDEM", 4}};

// n groups "0000000001".."n" named "Grupo 1".. with order i.
inline std::string GroupsPacket(int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i) {
        std::string code = std::to_string(i);
        code.insert(0, 10 - code.size(), '0');
        rows.push_back({code, "Grupo " + std::to_string(i), std::to_string(i % 10000)});
    }
    return PacketJson(kGroupFields, rows);
}

// Groups with the given code, name and order of each row.
inline std::string GroupsPacket(const std::vector<std::array<std::string, 3>>& rows) {
    return PacketJson(kGroupFields, Rows(rows));
}

// n main products of group 0000000001: tree codes "1.01.001.000i", internal codes "Pi".
inline std::string MainProductsPacket(int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({"1.01.001.000" + std::to_string(i), "P" + std::to_string(i), "Produto",
                        "0000000001", "S", "N"});
    return PacketJson({{"CDARVPROD", 20},
                       {"CDPRODUTO", 10},
                       {"NMPRODUTO", 50},
                       {"CDGRUSUGESPROD", 10},
                       {"IDQUANTPRODPRINC", 1},
                       {"IDTOTALPRODPRINC", 1}},
                      rows);
}

// n related products of main product P1 in group 0000000001: tree codes "2.02.002.000i".
inline std::string RelatedPacket(int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({"0000000001", "P1", "R" + std::to_string(i),
                        "2.02.002.000" + std::to_string(i), "Relacionado", "N", "S"});
    return PacketJson({{"CDGRUSUGESPROD", 10},
                       {"CDPRODUTO", 10},
                       {"CDPRODUTORELAC", 10},
                       {"CDARVPRODRELAC", 20},
                       {"NMPRODUTORELAC", 50},
                       {"IDQUANTPROD", 1},
                       {"IDTOTALPROD", 1}},
                      rows);
}

// Products as the checks and searches answer them: internal code, tree code and name of each.
inline std::string ProductsPacket(const std::vector<std::array<std::string, 3>>& rows) {
    return PacketJson({{"CDPRODUTO", 10}, {"CDARVPROD", 20}, {"NMPRODUTO", 50}},
                      Rows(rows));
}
