#pragma once
// The one description of the remote module "VLP27000.rdmSugestaoProd": the columns it stores and
// answers, with their sizes in characters, and each method's name, arguments and answer. The
// server's method table, schema checks and answers, the client's record sets and typed calls and
// the tables of docs/protocol.md all come from here (a test checks the document). Changing a size
// here needs a schema migration too.

#include <array>
#include <span>
#include <string_view>

namespace wire {

inline constexpr std::string_view kModuleName = "VLP27000.rdmSugestaoProd";

struct Column {
    std::string_view name;
    int size = 0;       // characters
    bool flag = false;  // holds null, "S" or "N" only
};

namespace column {

inline constexpr Column CDGRUSUGESPROD{"CDGRUSUGESPROD", 10};
inline constexpr Column NMGRUSUGESPROD{"NMGRUSUGESPROD", 40};
inline constexpr Column NRORDEM{"NRORDEM", 4};

inline constexpr Column CDPRODUTO{"CDPRODUTO", 10};
inline constexpr Column CDARVPROD{"CDARVPROD", 20};
inline constexpr Column NMPRODUTO{"NMPRODUTO", 50};

inline constexpr Column IDQUANTPRODPRINC{"IDQUANTPRODPRINC", 1, true};
inline constexpr Column IDTOTALPRODPRINC{"IDTOTALPRODPRINC", 1, true};

// A related product: the product's own columns under the relation's names.
inline constexpr Column CDPRODUTORELAC{"CDPRODUTORELAC", CDPRODUTO.size};
inline constexpr Column CDARVPRODRELAC{"CDARVPRODRELAC", CDARVPROD.size};
inline constexpr Column NMPRODUTORELAC{"NMPRODUTORELAC", NMPRODUTO.size};
inline constexpr Column IDQUANTPROD{"IDQUANTPROD", 1, true};
inline constexpr Column IDTOTALPROD{"IDTOTALPROD", 1, true};

// Import and export of the suggestions as CSV.
inline constexpr Column TXLINHA{"TXLINHA", 1024};  // one CSV line, without its line end
inline constexpr Column NRLINHA{"NRLINHA", 10};    // line of the file a preview row is about
// Its field (errors), "" when none; a record of the importer's 64 KiB holds up to 65537 fields.
inline constexpr Column NRCOLUNA{"NRCOLUNA", 5};
inline constexpr Column TPACAO{"TPACAO", 10};  // incluir, alterar, excluir, erro or resumo
inline constexpr Column TXDESCRICAO{"TXDESCRICAO", 1024};  // what changes, or what is wrong

// Where a product is used: "P" as the main product of a list, "R" related to one.
inline constexpr Column TPUSO{"TPUSO", 1};

// The history of a group, one row per entry of a save (gravação), newest first. Ids are 64-bit.
inline constexpr Column NRHISTORICO{"NRHISTORICO", 19};
inline constexpr Column NRGRAVACAO{"NRGRAVACAO", 19};
inline constexpr Column DTGRAVACAO{"DTGRAVACAO", 19};  // local time, "dd/mm/aaaa hh:mm:ss"
inline constexpr Column NMUSUARIO{"NMUSUARIO", 40};
// The method of the save, or "importação", "desfazer", "substituição", "cópia".
inline constexpr Column NMORIGEM{"NMORIGEM", 20};
inline constexpr Column TXALTERACAO{"TXALTERACAO", 1024};  // what changed, in the screen's words

}  // namespace column

// The field lists of the answers and change logs, in their order on the wire.
namespace fields {

using namespace column;

inline constexpr std::array<Column, 3> kGroups{CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM};
inline constexpr std::array<Column, 2> kGroupCheck{CDGRUSUGESPROD, NMGRUSUGESPROD};
inline constexpr std::array<Column, 6> kMainProducts{
    CDARVPROD, CDPRODUTO, NMPRODUTO, CDGRUSUGESPROD, IDQUANTPRODPRINC, IDTOTALPRODPRINC};
inline constexpr std::array<Column, 3> kProducts{CDPRODUTO, CDARVPROD, NMPRODUTO};
inline constexpr std::array<Column, 4> kMainProductRows{CDARVPROD, NMPRODUTO, CDPRODUTO,
                                                        CDGRUSUGESPROD};
inline constexpr std::array<Column, 2> kRelatedRows{CDPRODUTO, NMPRODUTO};
inline constexpr std::array<Column, 7> kRelatedProducts{
    CDGRUSUGESPROD, CDPRODUTO,   CDPRODUTORELAC, CDARVPRODRELAC,
    NMPRODUTORELAC, IDQUANTPROD, IDTOTALPROD};

// The export: the CSV file, one line per row, its header first.
inline constexpr std::array<Column, 1> kCsvLines{TXLINHA};
// The import's preview: one row per change or error, in the file's order, then one row "resumo"
// whose description is the summary line.
inline constexpr std::array<Column, 4> kImportPreview{NRLINHA, NRCOLUNA, TPACAO, TXDESCRICAO};

// Every list a product is in, by group order then the main product's tree code.
inline constexpr std::array<Column, 6> kWhereUsed{CDGRUSUGESPROD, NMGRUSUGESPROD, CDPRODUTO,
                                                  CDARVPROD,      NMPRODUTO,      TPUSO};
// One page of a group's history, newest first.
inline constexpr std::array<Column, 6> kHistory{NRHISTORICO, NRGRAVACAO, DTGRAVACAO,
                                                NMUSUARIO,   NMORIGEM,   TXALTERACAO};

}  // namespace fields

// Text: a JSON string; TextInOut: {"inout": text}, written back to the caller; TextOrInOut: either
// (the operation code of the product saves); Packet: {"packet": change log}.
enum class ParamKind { Text, TextInOut, TextOrInOut, Packet };

struct Param {
    std::string_view what;  // in messages: "Código do grupo"
    ParamKind kind;
    int size = 0;  // characters a text may hold (0 for a packet)
};

struct Method {
    std::string_view name;
    std::span<const Param> params;
    std::span<const Column> answer;     // the answer packet's fields; empty for a write
    std::span<const Column> changeLog;  // a write's change log fields; empty for a read
    bool IsWrite() const { return !changeLog.empty(); }
};

namespace param {

inline constexpr Param kGroupCode{"Código do grupo", ParamKind::Text, column::CDGRUSUGESPROD.size};
inline constexpr Param kGroupName{"Nome do grupo", ParamKind::Text, column::NMGRUSUGESPROD.size};
inline constexpr Param kOrder{"Ordem", ParamKind::Text, column::NRORDEM.size};
inline constexpr Param kMainProductCode{"Código do produto principal", ParamKind::Text,
                                        column::CDPRODUTO.size};
inline constexpr Param kTreeCodeInOut{"Código do produto na árvore", ParamKind::TextInOut,
                                      column::CDARVPROD.size};
// "I" (insert), "E" (edit) or "D" (delete).
inline constexpr Param kOperation{"Código de operação", ParamKind::TextOrInOut, 1};
inline constexpr Param kChangeLog{"Registro de alterações", ParamKind::Packet, 0};

// The import's file travels whole as one text, bounded by the request body's limit.
inline constexpr Param kCsvText{"Arquivo", ParamKind::Text, 50 * 1024 * 1024};
inline constexpr Param kImportMode{"Modo", ParamKind::Text, 10};     // incluir or substituir
inline constexpr Param kPreviewOnly{"Simular", ParamKind::Text, 1};  // S: preview only

// The actions across lists: where used, replace, history, undo, copy.
inline constexpr Param kProductCode{"Código do produto", ParamKind::Text, column::CDPRODUTO.size};
// "" removes the product from every list.
inline constexpr Param kReplacementCode{"Código do produto substituto", ParamKind::Text,
                                        column::CDPRODUTO.size};
// "" for the whole group.
inline constexpr Param kHistoryProduct{"Código do produto principal", ParamKind::Text,
                                       column::CDPRODUTO.size};
// "" for the first page, else the NRHISTORICO of the last row already shown.
inline constexpr Param kHistoryBefore{"Histórico anterior a", ParamKind::Text,
                                      column::NRHISTORICO.size};
inline constexpr Param kSaveId{"Gravação", ParamKind::Text, column::NRGRAVACAO.size};
inline constexpr Param kSourceGroup{"Grupo de origem", ParamKind::Text,
                                    column::CDGRUSUGESPROD.size};

inline constexpr std::array<Param, 1> kByGroup{kGroupCode};
inline constexpr std::array<Param, 3> kImport{kCsvText, kImportMode, kPreviewOnly};
inline constexpr std::array<Param, 1> kByGroupName{kGroupName};
inline constexpr std::array<Param, 1> kByOrder{kOrder};
inline constexpr std::array<Param, 1> kByTreeCode{kTreeCodeInOut};
inline constexpr std::array<Param, 2> kByGroupAndTreeCode{kGroupCode, kTreeCodeInOut};
inline constexpr std::array<Param, 2> kByGroupAndMain{kGroupCode, kMainProductCode};
inline constexpr std::array<Param, 2> kByMainAndGroup{kMainProductCode, kGroupCode};
inline constexpr std::array<Param, 3> kByGroupMainAndTreeCode{kGroupCode, kMainProductCode,
                                                              kTreeCodeInOut};
inline constexpr std::array<Param, 1> kLog{kChangeLog};
inline constexpr std::array<Param, 2> kOperationAndLog{kOperation, kChangeLog};
inline constexpr std::array<Param, 1> kByProduct{kProductCode};
inline constexpr std::array<Param, 3> kReplace{kProductCode, kReplacementCode, kPreviewOnly};
inline constexpr std::array<Param, 3> kHistoryPage{kGroupCode, kHistoryProduct, kHistoryBefore};
inline constexpr std::array<Param, 2> kUndo{kSaveId, kPreviewOnly};
inline constexpr std::array<Param, 4> kCopyGroup{kSourceGroup, kGroupCode, kGroupName, kOrder};

}  // namespace param

namespace method {

inline constexpr Method GetGrupSegProd{"GetGrupSegProd", {}, fields::kGroups, {}};
inline constexpr Method SetGrupSegProd{"SetGrupSegProd", param::kLog, {}, fields::kGroups};
inline constexpr Method GetVerifGrupo{"GetVerifGrupo", param::kByGroup, fields::kGroupCheck, {}};
inline constexpr Method GetNmGrupo{"GetNmGrupo", param::kByGroupName, fields::kGroupCheck, {}};
inline constexpr Method GetVerifOrd{"GetVerifOrd", param::kByOrder, fields::kGroups, {}};
inline constexpr Method GetArvProd{"GetArvProd", param::kByGroup, fields::kMainProducts, {}};
inline constexpr Method GetPesqProdPrinc{"GetPesqProdPrinc", {}, fields::kProducts, {}};
inline constexpr Method GetVerifProduto{
    "GetVerifProduto", param::kByTreeCode, fields::kProducts, {}};
inline constexpr Method GetVdProdPrinc{
    "GetVdProdPrinc", param::kByGroupAndTreeCode, fields::kMainProductRows, {}};
inline constexpr Method SetArvProd{
    "SetArvProd", param::kOperationAndLog, {}, fields::kMainProducts};
inline constexpr Method GetProdRelac{
    "GetProdRelac", param::kByGroupAndMain, fields::kRelatedProducts, {}};
inline constexpr Method GetPesqProd{"GetPesqProd", param::kByMainAndGroup, fields::kProducts, {}};
inline constexpr Method GetVdProduto{
    "GetVdProduto", param::kByGroupMainAndTreeCode, fields::kRelatedRows, {}};
inline constexpr Method SetProdRelac{
    "SetProdRelac", param::kOperationAndLog, {}, fields::kRelatedProducts};

// Group code "" exports every group.
inline constexpr Method GetExportaSugestoes{
    "GetExportaSugestoes", param::kByGroup, fields::kCsvLines, {}};
// Answers the preview; with Simular "N" and no error, applies it in one transaction.
inline constexpr Method SetImportaSugestoes{
    "SetImportaSugestoes", param::kImport, fields::kImportPreview, {}};

// Every list the product is in; an unknown product is refused.
inline constexpr Method GetOndeUsado{"GetOndeUsado", param::kByProduct, fields::kWhereUsed, {}};
// Replaces the product by another in every list ("" removes it); answers the preview as the
// import does and, with Simular "N" and no error, applies it in one transaction.
inline constexpr Method SetSubstituiProduto{
    "SetSubstituiProduto", param::kReplace, fields::kImportPreview, {}};
// A page of kHistoryPageRows rows of the group's history (of one main product, or all).
inline constexpr Method GetHistorico{"GetHistorico", param::kHistoryPage, fields::kHistory, {}};
// Reverts one save where its rows are still as it left them; the preview as the import's.
inline constexpr Method SetDesfazGravacao{
    "SetDesfazGravacao", param::kUndo, fields::kImportPreview, {}};
// Copies a group with its main and related products; answers null, like a write.
inline constexpr Method SetCopiaGrupo{"SetCopiaGrupo", param::kCopyGroup, {}, {}};

}  // namespace method

// Rows of one page of GetHistorico.
inline constexpr int kHistoryPageRows = 200;

// The fourteen of the catalogue, in its order, then the export and the import, then the actions
// across lists.
inline constexpr std::array<const Method*, 21> kMethods{
    &method::GetGrupSegProd,      &method::SetGrupSegProd,    &method::GetVerifGrupo,
    &method::GetNmGrupo,          &method::GetVerifOrd,       &method::GetArvProd,
    &method::GetPesqProdPrinc,    &method::GetVerifProduto,   &method::GetVdProdPrinc,
    &method::SetArvProd,          &method::GetProdRelac,      &method::GetPesqProd,
    &method::GetVdProduto,        &method::SetProdRelac,      &method::GetExportaSugestoes,
    &method::SetImportaSugestoes, &method::GetOndeUsado,      &method::SetSubstituiProduto,
    &method::GetHistorico,        &method::SetDesfazGravacao, &method::SetCopiaGrupo};

// The method of that exact name, or nullptr.
constexpr const Method* FindMethod(std::string_view name) {
    for (const Method* m : kMethods)
        if (m->name == name) return m;
    return nullptr;
}

// Characters of the longest text argument the method takes (0: it takes none).
constexpr int MaxTextChars(const Method& m) {
    int longest = 0;
    for (const Param& p : m.params)
        if (p.kind != ParamKind::Packet && p.size > longest) longest = p.size;
    return longest;
}

}  // namespace wire
