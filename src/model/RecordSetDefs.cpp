#include "RecordSetDefs.h"

#include <stdexcept>

namespace model {
namespace {

TFieldDef Shown(const char* name, int size, const char* label, int width = 0) {
    return TFieldDef{name, size, label, width, true};
}

TFieldDef Hidden(const char* name, int size, const char* label = "", int width = 0) {
    return TFieldDef{name, size, label, width, false};
}

std::vector<TRecordSetDef> Build() {
    return {
        {"cdsGrupSegProd",
         {Shown("CDGRUSUGESPROD", 10, "Código", 12), Shown("NMGRUSUGESPROD", 40, "Grupo", 45),
          Shown("NRORDEM", 4, "Ordem", 10)}},
        {"cdsArvProd",
         {Shown("CDARVPROD", 20, "Código", 20), Hidden("CDPRODUTO", 10),
          Shown("NMPRODUTO", 50, "Nome", 50), Hidden("CDGRUSUGESPROD", 10),
          Hidden("IDQUANTPRODPRINC", 1, "Quantidade", 1),
          Hidden("IDTOTALPRODPRINC", 1, "Totalizador", 1)}},
        {"cdsProdRelac",
         {Hidden("CDGRUSUGESPROD", 10), Hidden("CDPRODUTO", 10), Hidden("CDPRODUTORELAC", 10),
          Shown("CDARVPRODRELAC", 20, "Código", 20), Shown("NMPRODUTORELAC", 50, "Nome", 50),
          Hidden("IDQUANTPROD", 1, "Quantidade", 1), Hidden("IDTOTALPROD", 1, "Totalizador", 1)}},
        {"cdsVerifGrup", {Shown("CDGRUSUGESPROD", 10, ""), Shown("NMGRUSUGESPROD", 40, "")}},
        {"cdsNmGrupo", {Shown("CDGRUSUGESPROD", 10, ""), Shown("NMGRUSUGESPROD", 40, "")}},
        {"cdsVerifOrd",
         {Shown("CDGRUSUGESPROD", 10, ""), Shown("NMGRUSUGESPROD", 40, ""),
          Shown("NRORDEM", 4, "")}},
        {"cdsVerifProduto",
         {Shown("CDPRODUTO", 10, ""), Shown("CDARVPROD", 20, ""), Shown("NMPRODUTO", 50, "", 50)}},
        {"cdsVdProdPrinc",
         {Shown("CDARVPROD", 20, ""), Shown("NMPRODUTO", 50, ""), Shown("CDPRODUTO", 10, ""),
          Shown("CDGRUSUGESPROD", 10, "")}},
        {"cdsVdProduto", {Hidden("CDPRODUTO", 10), Shown("NMPRODUTO", 50, "", 50)}},
        {"cdsPesqProdPrinc",
         {Hidden("CDPRODUTO", 10), Shown("CDARVPROD", 20, "Código"),
          Shown("NMPRODUTO", 50, "Nome")}},
        {"cdsPesqProd",
         {Hidden("CDPRODUTO", 10), Shown("CDARVPROD", 20, "Código"),
          Shown("NMPRODUTO", 50, "Nome", 50)}},
    };
}

}  // namespace

const std::vector<TRecordSetDef>& RecordSetDefs() {
    static const std::vector<TRecordSetDef> defs = Build();
    return defs;
}

const TRecordSetDef& RecordSetDef(std::string_view name) {
    for (const TRecordSetDef& def : RecordSetDefs())
        if (def.Name == name) return def;
    throw std::out_of_range("Conjunto de registros desconhecido: " + std::string(name));
}

}  // namespace model
