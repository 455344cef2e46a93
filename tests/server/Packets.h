#pragma once
// Data packets of the screen's lists for tests and benchmarks.

#include <array>
#include <string>
#include <vector>

// n groups "0000000001".."n" named "Grupo 1".. with order i.
inline std::string GroupsPacket(int n) {
    std::string json =
        R"({"fields":[{"name":"CDGRUSUGESPROD","size":10},{"name":"NMGRUSUGESPROD","size":40},)"
        R"({"name":"NRORDEM","size":4}],"rows":[)";
    for (int i = 1; i <= n; ++i) {
        std::string code = std::to_string(i);
        code.insert(0, 10 - code.size(), '0');
        if (i > 1) json += ',';
        json += "[\"" + code + "\",\"Grupo " + std::to_string(i) + "\",\"" +
                std::to_string(i % 10000) + "\"]";
    }
    return json + "]}";
}

// Groups with the given code, name and order of each row.
inline std::string GroupsPacket(const std::vector<std::array<std::string, 3>>& rows) {
    std::string json =
        R"({"fields":[{"name":"CDGRUSUGESPROD","size":10},{"name":"NMGRUSUGESPROD","size":40},)"
        R"({"name":"NRORDEM","size":4}],"rows":[)";
    for (std::size_t i = 0; i < rows.size(); ++i)
        json += std::string(i ? "," : "") + "[\"" + rows[i][0] + "\",\"" + rows[i][1] + "\",\"" +
                rows[i][2] + "\"]";
    return json + "]}";
}

// n main products of group 0000000001: tree codes "1.01.001.000i", internal codes "Pi".
inline std::string MainProductsPacket(int n) {
    std::string json =
        R"({"fields":[{"name":"CDARVPROD","size":20},{"name":"CDPRODUTO","size":10},)"
        R"({"name":"NMPRODUTO","size":50},{"name":"CDGRUSUGESPROD","size":10},)"
        R"({"name":"IDQUANTPRODPRINC","size":1},{"name":"IDTOTALPRODPRINC","size":1}],"rows":[)";
    for (int i = 1; i <= n; ++i)
        json += std::string(i > 1 ? "," : "") + "[\"1.01.001.000" + std::to_string(i) + "\",\"P" +
                std::to_string(i) + "\",\"Produto\",\"0000000001\",\"S\",\"N\"]";
    return json + "]}";
}

// n related products of main product P1 in group 0000000001: tree codes "2.02.002.000i".
inline std::string RelatedPacket(int n) {
    std::string json =
        R"({"fields":[{"name":"CDGRUSUGESPROD","size":10},{"name":"CDPRODUTO","size":10},)"
        R"({"name":"CDPRODUTORELAC","size":10},{"name":"CDARVPRODRELAC","size":20},)"
        R"({"name":"NMPRODUTORELAC","size":50},{"name":"IDQUANTPROD","size":1},)"
        R"({"name":"IDTOTALPROD","size":1}],"rows":[)";
    for (int i = 1; i <= n; ++i)
        json += std::string(i > 1 ? "," : "") + "[\"0000000001\",\"P1\",\"R" +
                std::to_string(i) + "\",\"2.02.002.000" + std::to_string(i) +
                "\",\"Relacionado\",\"N\",\"S\"]";
    return json + "]}";
}

// Products as the checks and searches answer them: internal code, tree code and name of each.
inline std::string ProductsPacket(const std::vector<std::array<std::string, 3>>& rows) {
    std::string json =
        R"({"fields":[{"name":"CDPRODUTO","size":10},{"name":"CDARVPROD","size":20},)"
        R"({"name":"NMPRODUTO","size":50}],"rows":[)";
    for (std::size_t i = 0; i < rows.size(); ++i)
        json += std::string(i ? "," : "") + "[\"" + rows[i][0] + "\",\"" + rows[i][1] + "\",\"" +
                rows[i][2] + "\"]";
    return json + "]}";
}
