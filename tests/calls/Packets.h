#pragma once
// Data packets of the screen's lists for tests and benchmarks, written by the wire's own packet
// writer, with the field lists of the remote module's description.

#include <array>
#include <string>
#include <vector>

#include "wire/ColumnFields.h"
#include "wire/Packet.h"
#include "wire/RemoteModule.h"

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

inline const std::vector<wire::FieldDef> kGroupFields = wire::fieldDefs(wire::fields::kGroups);

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
    return PacketJson(wire::fieldDefs(wire::fields::kMainProducts), rows);
}

// n related products of main product P1 in group 0000000001: tree codes "2.02.002.000i".
inline std::string RelatedPacket(int n) {
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({"0000000001", "P1", "R" + std::to_string(i),
                        "2.02.002.000" + std::to_string(i), "Relacionado", "N", "S"});
    return PacketJson(wire::fieldDefs(wire::fields::kRelatedProducts), rows);
}

// Products as the checks and searches answer them: internal code, tree code and name of each.
inline std::string ProductsPacket(const std::vector<std::array<std::string, 3>>& rows) {
    return PacketJson(wire::fieldDefs(wire::fields::kProducts), Rows(rows));
}
