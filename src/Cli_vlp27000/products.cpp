// Page "Produto": the main products of a group and the products related to each. The two
// families behave alike; each named handler hands its family's names to one shared step.

#include <QToolButton>

#include "Apply.h"
#include "BusyAnimation.h"
#include "Cli_vlp27000.h"
#include "EAbort.h"
#include "Fetch.h"
#include "FrameworkUtils.h"
#include "StdDialogs.h"
#include "TDBGrid.h"
#include "TfrmSugestaoProd.h"

namespace {

bool Editing(const TClientDataSet& dataSet) {
    return dataSet.State() == TDataSetState::dsEdit || dataSet.State() == TDataSetState::dsInsert;
}

bool SelectedIs(const TDBGrid* grid, const char* fieldName) {
    const TField* field = grid ? grid->SelectedField() : nullptr;
    return field && field->FieldName() == fieldName;
}

}  // namespace

TfrmSugestaoProd::TProductFamily TfrmSugestaoProd::MainProducts() {
    return {cdsArvProd, dbgProduto, "CDARVPROD", "NMPRODUTO",
            "IDQUANTPRODPRINC", "IDTOTALPRODPRINC", "SetArvProd"};
}

TfrmSugestaoProd::TProductFamily TfrmSugestaoProd::RelatedProducts() {
    return {cdsProdRelac, dbgProdRelac, "CDARVPRODRELAC", "NMPRODUTORELAC",
            "IDQUANTPROD", "IDTOTALPROD", "SetProdRelac"};
}

// The product checks and searches read under the busy animation, without a caption.
void TfrmSugestaoProd::LookUpProduct(const char* method, std::vector<TRemoteArg> args,
                                     TClientDataSet& target) {
    server::TFetchOptions read;
    read.AviKind = aviReading;
    server::Fetch(NetSugProd, method, std::move(args), target, read);
}

// Column locks by state: only a row being inserted takes a typed code, with the search button.
void TfrmSugestaoProd::ProductColumnLocks(const TProductFamily& f) {
    if (!f.grid) return;
    f.grid->Perform(45070, 0, 0);
    const int code = IndiceCol(*f.grid, f.code);
    const int name = IndiceCol(*f.grid, f.name);
    const bool inserting = f.cds.State() == TDataSetState::dsInsert;
    if (name >= 0) f.grid->Columns()[name].ReadOnly = true;
    if (code >= 0) {
        f.grid->Columns()[code].ReadOnly = !inserting;
        f.grid->Columns()[code].ButtonStyle = inserting ? cbsEllipsis : cbsNone;
    }
    Controla_Botoes();
}

void TfrmSugestaoProd::dtsArvProdStateChange(TDataSource*) { ProductColumnLocks(MainProducts()); }
void TfrmSugestaoProd::dtsProdRelacStateChange(TDataSource*) {
    ProductColumnLocks(RelatedProducts());
}

// The frame of a product check: any failure puts the cursor on the code cell and travels on.
// A refusal puts it there before its message, so the message points at the cell.
void TfrmSugestaoProd::RefuseProduct(const TProductFamily& f, const char* messageKey) {
    f.cds.FieldByName(f.code).FocusControl();
    Refuse(messageKey);
}

template <class Steps>
void TfrmSugestaoProd::ProductCheck(const TProductFamily& f, Steps steps) {
    try {
        steps();
    } catch (...) {
        f.cds.FieldByName(f.code).FocusControl();
        throw;
    }
}

void TfrmSugestaoProd::Vd_ProdPrinc(bool boObrigatorio) {
    const TProductFamily f = MainProducts();
    std::string code = cdsArvProd.FieldByName(f.code).AsString();  // in/out, as typed
    ProductCheck(f, [&] {
        if (EmptyString(code)) {
            if (boObrigatorio) RefuseProduct(f, "Prod_N_Inf");
            return;
        }
        LookUpProduct("GetVerifProduto", {TRemoteArg::InOut(code)}, cdsVerifProduto);
        if (cdsVerifProduto.IsEmpty()) RefuseProduct(f, "Prod_N_Cad");
        LookUpProduct("GetVdProdPrinc", {TRemoteArg::Text(GroupCode()), TRemoteArg::InOut(code)},
                      cdsVdProdPrinc);
        if (!cdsVdProdPrinc.IsEmpty()) RefuseProduct(f, "Prod_Cad");
        cdsArvProd.FieldByName("CDGRUSUGESPROD").SetAsString(GroupCode());
        for (const char* field : {"CDPRODUTO", "CDARVPROD", "NMPRODUTO"})
            cdsArvProd.FieldByName(field).SetAsString(cdsVerifProduto.FieldByName(field).AsString());
    });
}

void TfrmSugestaoProd::Vd_Produto(bool boObrigatorio) {
    const TProductFamily f = RelatedProducts();
    std::string code = cdsProdRelac.FieldByName(f.code).AsString();  // in/out, as typed
    ProductCheck(f, [&] {
        if (boObrigatorio && EmptyString(code)) RefuseProduct(f, "Prod_N_Inf");
        if (EmptyString(code)) return;
        LookUpProduct("GetVerifProduto", {TRemoteArg::InOut(code)}, cdsVerifProduto);
        if (cdsVerifProduto.IsEmpty()) RefuseProduct(f, "Prod_N_Cad");
        LookUpProduct("GetVdProduto",
                      {TRemoteArg::Text(GroupCode()), TRemoteArg::Text(MainProductCode()),
                       TRemoteArg::InOut(code)},
                      cdsVdProduto);
        if (!cdsVdProduto.IsEmpty()) RefuseProduct(f, "Prod_Cad");
        const std::pair<const char*, std::string> fill[] = {
            {"CDGRUSUGESPROD", GroupCode()},
            {"CDPRODUTO", MainProductCode()},
            {"CDARVPRODRELAC", cdsVerifProduto.FieldByName("CDARVPROD").AsString()},
            {"CDPRODUTORELAC", cdsVerifProduto.FieldByName("CDPRODUTO").AsString()},
            {"NMPRODUTORELAC", cdsVerifProduto.FieldByName("NMPRODUTO").AsString()}};
        for (const auto& [field, value] : fill) cdsProdRelac.FieldByName(field).SetAsString(value);
    });
}

void TfrmSugestaoProd::ProductColExit(const TProductFamily& f,
                                      void (TfrmSugestaoProd::*check)(bool)) {
    if (f.cds.State() == TDataSetState::dsInsert && SelectedIs(f.grid, f.code)) (this->*check)(false);
}

void TfrmSugestaoProd::dbgProdutoColExit(QObject*) {
    ProductColExit(MainProducts(), &TfrmSugestaoProd::Vd_ProdPrinc);
}
void TfrmSugestaoProd::dbgProdRelacColExit(QObject*) {
    ProductColExit(RelatedProducts(), &TfrmSugestaoProd::Vd_Produto);
}

void TfrmSugestaoProd::cdsArvProdBeforePost(TClientDataSet&) {
    if (cdsArvProd.State() == TDataSetState::dsInsert) Vd_ProdPrinc(true);
}
void TfrmSugestaoProd::cdsProdRelacBeforePost(TClientDataSet&) {
    if (cdsProdRelac.State() == TDataSetState::dsInsert) Vd_Produto(true);
}

void TfrmSugestaoProd::NewProductRow(const TProductFamily& f) {
    Cli_vlp27000::stInsert = "I";
    f.cds.FieldByName(f.flagQ).SetAsString("N");
    f.cds.FieldByName(f.flagT).SetAsString("S");
}

void TfrmSugestaoProd::cdsArvProdAfterInsert(TClientDataSet&) { NewProductRow(MainProducts()); }
void TfrmSugestaoProd::cdsProdRelacAfterInsert(TClientDataSet&) {
    NewProductRow(RelatedProducts());
}

void TfrmSugestaoProd::dbgProdutoEditButtonClick(QObject*) {
    if (!SelectedIs(dbgProduto, "CDARVPROD")) return;
    LookUpProduct("GetPesqProdPrinc", {}, cdsPesqProdPrinc);
    if (!Pesquisar(dtsPesqProdPrinc, msgPadrao.Msg("PRODUTO") + "|" + msgPadrao.Msg("Prod_N_Cad"),
                   false, true))
        return;
    cdsArvProd.FieldByName("CDGRUSUGESPROD").SetAsString(GroupCode());
    for (const char* field : {"CDPRODUTO", "CDARVPROD", "NMPRODUTO"})
        cdsArvProd.FieldByName(field).SetAsString(cdsPesqProdPrinc.FieldByName(field).AsString());
}

void TfrmSugestaoProd::dbgProdRelacEditButtonClick(QObject*) {
    if (!SelectedIs(dbgProdRelac, "CDARVPRODRELAC")) return;
    LookUpProduct("GetPesqProd",
                  {TRemoteArg::Text(MainProductCode()), TRemoteArg::Text(GroupCode())},
                  cdsPesqProd);
    if (!Pesquisar(dtsPesqProd, msgPadrao.Msg("PRODUTO") + "|" + msgPadrao.Msg("Prod_N_Cad"),
                   false, true))
        return;
    const std::pair<const char*, std::string> fill[] = {
        {"CDGRUSUGESPROD", GroupCode()},
        {"CDPRODUTO", MainProductCode()},
        {"CDARVPRODRELAC", cdsPesqProd.FieldByName("CDARVPROD").AsString()},
        {"CDPRODUTORELAC", cdsPesqProd.FieldByName("CDPRODUTO").AsString()},
        {"NMPRODUTORELAC", cdsPesqProd.FieldByName("NMPRODUTO").AsString()}};
    for (const auto& [field, value] : fill) cdsProdRelac.FieldByName(field).SetAsString(value);
}

// Sends the family's change log. A failure keeps it pending and marks its rows in the grid with
// the reason, until a save goes through or the changes are dropped.
bool TfrmSugestaoProd::SaveProducts(const TProductFamily& f, std::vector<TRemoteArg> leading) {
    try {
        const bool sent = server::Apply(NetSugProd, f.save, std::move(leading), f.cds,
                                        msgPadrao.Msg("Atualiza"),
                                        server::TMergeOrder::HideThenMerge);
        MarkUnsaved(f, "");
        return sent;
    } catch (const std::exception& e) {
        MarkUnsaved(f, e.what());
        throw;
    }
}

void TfrmSugestaoProd::MarkUnsaved(const TProductFamily& f, const std::string& reason) {
    if (f.grid)
        f.grid->SetPendingChangesHint(reason.empty() ? ""
                                                     : msgPadrao.Msg("NaoGravado") + " " + reason);
}

// A save after a post: the pending operation code ("E" when none), in/out with the change log.
// A failed save keeps the log and the code for the next save.
void TfrmSugestaoProd::SaveProductPost(const TProductFamily& f) {
    std::string& operation = Cli_vlp27000::stInsert;
    if (operation.empty()) operation = "E";
    if (!SaveProducts(f, {TRemoteArg::InOut(operation)})) return;
    operation.clear();  // saved: a failure of the re-read below leaves nothing pending
    sbtVerificarClick(static_cast<QObject*>(sbtVerificar));
}

void TfrmSugestaoProd::SaveProductDelete(const TProductFamily& f) {
    // A delete leaves the state as it was: the commands follow the rows left, saved or not.
    Controla_Botoes();
    if (!SaveProducts(f, {TRemoteArg::Text("D")})) return;
    update();
}

// Changes whose save failed earlier, sent again with the pending operation code.
void TfrmSugestaoProd::ResendProducts(const TProductFamily& f) {
    std::string operation = Cli_vlp27000::stInsert.empty() ? "E" : Cli_vlp27000::stInsert;
    if (SaveProducts(f, {TRemoteArg::InOut(operation)})) Cli_vlp27000::stInsert.clear();
}

void TfrmSugestaoProd::cdsArvProdAfterPost(TClientDataSet&) { SaveProductPost(MainProducts()); }
void TfrmSugestaoProd::cdsProdRelacAfterPost(TClientDataSet&) {
    SaveProductPost(RelatedProducts());
}
void TfrmSugestaoProd::cdsArvProdAfterDelete(TClientDataSet&) {
    SaveProductDelete(MainProducts());
}
void TfrmSugestaoProd::cdsProdRelacAfterDelete(TClientDataSet&) {
    SaveProductDelete(RelatedProducts());
}

void TfrmSugestaoProd::cdsArvProdAfterCancel(TClientDataSet&) {
    cdsArvProd.CancelUpdates();
    MarkUnsaved(MainProducts(), "");
    Controla_Botoes();
}
void TfrmSugestaoProd::cdsProdRelacAfterCancel(TClientDataSet&) {
    cdsProdRelac.CancelUpdates();
    MarkUnsaved(RelatedProducts(), "");
    Controla_Botoes();
}

void TfrmSugestaoProd::dbgProdutoExit(QObject*) {
    if (Editing(cdsArvProd)) cdsArvProd.Post();
}
void TfrmSugestaoProd::dbgProdRelacExit(QObject*) {
    if (Editing(cdsProdRelac)) cdsProdRelac.Post();
}

void TfrmSugestaoProd::dbgProdutoEnter(QObject* /*sender*/) { Controla_Botoes(); }

void TfrmSugestaoProd::dbgProdRelacEnter(QObject* /*sender*/) { Controla_Botoes(); }
