#include "declarations/RecordSetDefs.h"

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

#include "wire/RemoteModule.h"

namespace declarations {
namespace {

namespace column = wire::column;
namespace method = wire::method;

// What the screen adds to a field of the answer that fills the record set; a field named by none
// is shown without a title at its own width.
struct TFieldLook {
    const wire::Column& column;
    const char* label;
    int width;
    bool visible;
};

TFieldLook Shown(const wire::Column& column, const char* label = "", int width = 0) {
    return {column, label, width, true};
}

TFieldLook Hidden(const wire::Column& column, const char* label = "", int width = 0) {
    return {column, label, width, false};
}

// The record set's fields are the answer's, with their names and sizes, in the answer's order.
TRecordSetDef Answer(const char* name, const wire::Method& filledBy,
                     std::initializer_list<TFieldLook> looks) {
    TRecordSetDef def{name, {}};
    for (const wire::Column& c : filledBy.answer)
        def.Fields.push_back({std::string(c.name), c.size, "", 0, true});
    for (const TFieldLook& look : looks) {
        auto field = std::find_if(def.Fields.begin(), def.Fields.end(),
                                  [&](const TFieldDef& f) { return f.Name == look.column.name; });
        if (field == def.Fields.end())
            throw std::logic_error(std::string(name) + ": " + std::string(look.column.name) +
                                   " não vem na resposta de " + std::string(filledBy.name) + ".");
        field->DisplayLabel = look.label;
        field->DisplayWidth = look.width;
        field->Visible = look.visible;
    }
    return def;
}

std::vector<TRecordSetDef> Build() {
    return {
        Answer("cdsGrupSegProd", method::GetGrupSegProd,
               {Shown(column::CDGRUSUGESPROD, "Código", 12),
                Shown(column::NMGRUSUGESPROD, "Grupo", 45), Shown(column::NRORDEM, "Ordem", 10)}),
        Answer("cdsArvProd", method::GetArvProd,
               {Shown(column::CDARVPROD, "Código", 20), Hidden(column::CDPRODUTO),
                Shown(column::NMPRODUTO, "Nome", 50), Hidden(column::CDGRUSUGESPROD),
                Hidden(column::IDQUANTPRODPRINC, "Quantidade", 1),
                Hidden(column::IDTOTALPRODPRINC, "Totalizador", 1)}),
        Answer("cdsProdRelac", method::GetProdRelac,
               {Hidden(column::CDGRUSUGESPROD), Hidden(column::CDPRODUTO),
                Hidden(column::CDPRODUTORELAC), Shown(column::CDARVPRODRELAC, "Código", 20),
                Shown(column::NMPRODUTORELAC, "Nome", 50),
                Hidden(column::IDQUANTPROD, "Quantidade", 1),
                Hidden(column::IDTOTALPROD, "Totalizador", 1)}),
        Answer("cdsVerifGrup", method::GetVerifGrupo, {}),
        Answer("cdsNmGrupo", method::GetNmGrupo, {}),
        Answer("cdsVerifOrd", method::GetVerifOrd, {}),
        Answer("cdsVerifProduto", method::GetVerifProduto, {Shown(column::NMPRODUTO, "", 50)}),
        Answer("cdsVdProdPrinc", method::GetVdProdPrinc, {}),
        Answer("cdsVdProduto", method::GetVdProduto,
               {Hidden(column::CDPRODUTO), Shown(column::NMPRODUTO, "", 50)}),
        Answer("cdsPesqProdPrinc", method::GetPesqProdPrinc,
               {Hidden(column::CDPRODUTO), Shown(column::CDARVPROD, "Código"),
                Shown(column::NMPRODUTO, "Nome")}),
        Answer("cdsPesqProd", method::GetPesqProd,
               {Hidden(column::CDPRODUTO), Shown(column::CDARVPROD, "Código"),
                Shown(column::NMPRODUTO, "Nome", 50)}),
        Answer("cdsExportaSugestoes", method::GetExportaSugestoes,
               {Shown(column::TXLINHA, "Linha", 80)}),
        Answer("cdsImportaSugestoes", method::SetImportaSugestoes,
               {Shown(column::NRLINHA, "Linha", 8), Shown(column::NRCOLUNA, "Coluna", 6),
                Shown(column::TPACAO, "Ação", 10), Shown(column::TXDESCRICAO, "Descrição", 80)}),
        Answer("cdsOndeUsado", method::GetOndeUsado,
               {Shown(column::CDGRUSUGESPROD, "Grupo", 10),
                Shown(column::NMGRUSUGESPROD, "Nome do grupo", 40), Hidden(column::CDPRODUTO),
                Shown(column::CDARVPROD, "Produto principal", 20),
                Shown(column::NMPRODUTO, "Nome", 50), Shown(column::TPUSO, "Uso", 11)}),
        Answer("cdsHistorico", method::GetHistorico,
               {Hidden(column::NRHISTORICO), Shown(column::NRGRAVACAO, "Gravação", 10),
                Shown(column::DTGRAVACAO, "Quando", 19), Shown(column::NMUSUARIO, "Quem", 20),
                Shown(column::NMORIGEM, "Origem", 15), Shown(column::TXALTERACAO, "Alteração", 80)}),
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

}  // namespace declarations
