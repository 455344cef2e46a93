#include "declarations/GridDefs.h"

#include <stdexcept>

namespace declarations {
namespace {

constexpr unsigned kProductGridOptions = goEditing | goTitles | goColumnResize | goColLines |
                                         goRowLines | goTabs | goAlwaysShowSelection |
                                         goConfirmDelete | goCancelOnExit;

TGridDef ProductGrid(const char* name, const char* source, const char* recordSet,
                     std::vector<TColumnDef> columns) {
    return TGridDef{name, source,          recordSet, std::move(columns), kProductGridOptions, true,
                    true, "MS Sans Serif", 8};
}

std::vector<TGridDef> Build() {
    return {
        TGridDef{"dbgPadrao",
                 "dtsPadrao",
                 "cdsGrupSegProd",
                 {{"CDGRUSUGESPROD", 114}, {"NMGRUSUGESPROD", 0}, {"NRORDEM", 60}},
                 0,
                 false,
                 false,
                 "",
                 0},
        ProductGrid("dbgProduto", "dtsArvProd", "cdsArvProd",
                    {{"CDARVPROD", 120},
                     {"NMPRODUTO", 344},
                     {"IDQUANTPRODPRINC", 62},
                     {"IDTOTALPRODPRINC", 60}}),
        ProductGrid("dbgProdRelac", "dtsProdRelac", "cdsProdRelac",
                    {{"CDARVPRODRELAC", 0},
                     {"NMPRODUTORELAC", 290},
                     {"IDQUANTPROD", 68},
                     {"IDTOTALPROD", 61}}),
    };
}

}  // namespace

const std::vector<TGridDef>& GridDefs() {
    static const std::vector<TGridDef> defs = Build();
    return defs;
}

const TGridDef& GridDef(std::string_view name) {
    for (const TGridDef& def : GridDefs())
        if (def.Name == name) return def;
    throw std::out_of_range("Grade desconhecida: " + std::string(name));
}

}  // namespace declarations
