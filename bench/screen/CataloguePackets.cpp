#include "CataloguePackets.h"

#include <cstdio>

namespace {

std::string TreeCode(int n) {
    char text[24];
    std::snprintf(text, sizeof text, "%d.%02d.%03d.%04d", 1 + n / 100000, n / 10000 % 100,
                  n / 100 % 100, n % 10000);
    return text;
}

std::string Name(int n) {
    static const char* const kinds[] = {"Café em Pó Tradicional", "Feijão Carioca Tipo 1",
                                        "Açúcar Refinado", "Macarrão Parafuso com Ovos",
                                        "Sabão em Pó Concentrado"};
    return std::string(kinds[n % 5]) + " " + std::to_string(n % 7 + 1) + "kg nº " +
           std::to_string(n);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string CatalogueProductCode(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%010d", n);
    return text;
}

std::string CatalogueMainProducts(int n, const std::string& group) {
    std::string json =
        R"({"fields":[{"name":"CDARVPROD","size":20},{"name":"CDPRODUTO","size":10},)"
        R"({"name":"NMPRODUTO","size":50},{"name":"CDGRUSUGESPROD","size":10},)"
        R"({"name":"IDQUANTPRODPRINC","size":1},{"name":"IDTOTALPRODPRINC","size":1}],"rows":[)";
    for (int i = 1; i <= n; ++i) {
        if (i > 1) json += ',';
        json += "[" + Quoted(TreeCode(i)) + "," + Quoted(CatalogueProductCode(i)) + "," +
                Quoted(Name(i)) + "," + Quoted(group) + "," + (i % 2 ? "\"S\"" : "\"N\"") +
                ",\"S\"]";
    }
    return json + "]}";
}

std::string CatalogueRelatedProducts(int n, const std::string& group, const std::string& main) {
    std::string json =
        R"({"fields":[{"name":"CDGRUSUGESPROD","size":10},{"name":"CDPRODUTO","size":10},)"
        R"({"name":"CDPRODUTORELAC","size":10},{"name":"CDARVPRODRELAC","size":20},)"
        R"({"name":"NMPRODUTORELAC","size":50},{"name":"IDQUANTPROD","size":1},)"
        R"({"name":"IDTOTALPROD","size":1}],"rows":[)";
    for (int i = 1; i <= n; ++i) {
        const int related = 50000 + i;
        if (i > 1) json += ',';
        json += "[" + Quoted(group) + "," + Quoted(main) + "," +
                Quoted(CatalogueProductCode(related)) + "," + Quoted(TreeCode(related)) + "," +
                Quoted(Name(related)) + "," + (i % 2 ? "\"N\"" : "\"S\"") + ",\"S\"]";
    }
    return json + "]}";
}
