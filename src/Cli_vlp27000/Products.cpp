// Page "Produto": the main products of a group and the products related to each. The two
// families behave alike: each handler here is given the family it serves (ProductFamilies.cpp).

#include <QAction>
#include <QToolButton>

#include "Cli_vlp27000/Cli_vlp27000.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Reads.h"
#include "controls/TDBGrid.h"
#include "framework/BusyAnimation.h"
#include "framework/EAbort.h"
#include "framework/FrameworkUtils.h"
#include "framework/StdDialogs.h"
#include "framework/TSearchRowAction.h"

namespace {

bool SelectedIs(const TDBGrid* grid, const char* fieldName) {
    const TField* field = grid ? grid->SelectedField() : nullptr;
    return field && field->FieldName() == fieldName;
}

}  // namespace

calls::TFetchOptions TfrmSugestaoProd::ProductLookUp() {
    calls::TFetchOptions read;
    read.AviKind = aviReading;
    return read;
}

// Column locks by state: only a row being inserted takes a typed code, with the search button.
void TfrmSugestaoProd::ProductColumnLocks(const TProductFamily& f) {
    if (!f.grid) return;
    f.grid->Perform(TDBGrid::kRecalcLayoutMessage, 0, 0);
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

// A refusal puts the cursor on the code cell before its message, so the message points at it.
void TfrmSugestaoProd::RefuseProduct(const TProductFamily& f, const char* messageKey) {
    f.cds.FieldByName(f.code).FocusControl();
    Refuse(messageKey);
}

// The row takes the group's code, for related products the main product's, then the product's.
void TfrmSugestaoProd::FillFromProduct(const TProductFamily& f, const TClientDataSet& product) {
    f.cds.FieldByName("CDGRUSUGESPROD").SetAsString(GroupCode());
    if (f.underMainProduct) f.cds.FieldByName("CDPRODUTO").SetAsString(MainProductCode());
    for (const auto& [field, from] : f.fromProduct)
        f.cds.FieldByName(field).SetAsString(product.FieldByName(from).AsString());
}

// Any failure puts the cursor on the code cell and travels on.
void TfrmSugestaoProd::Vd_Produto(const TProductFamily& f, bool boObrigatorio) {
    std::string code = f.cds.FieldByName(f.code).AsString();  // in/out, as typed
    try {
        if (EmptyString(code)) {
            if (boObrigatorio) RefuseProduct(f, "Prod_N_Inf");
            return;
        }
        calls::GetVerifProduto(NetSugProd, code, cdsVerifProduto, ProductLookUp());
        if (cdsVerifProduto.IsEmpty()) RefuseProduct(f, "Prod_N_Cad");
        if (f.holds(code)) RefuseProduct(f, "Prod_Cad");
        FillFromProduct(f, cdsVerifProduto);
    } catch (...) {
        f.cds.FieldByName(f.code).FocusControl();
        throw;
    }
}

void TfrmSugestaoProd::ProductColExit(const TProductFamily& f) {
    if (f.cds.State() == TDataSetState::dsInsert && SelectedIs(f.grid, f.code))
        Vd_Produto(f, false);
}

void TfrmSugestaoProd::NewProductRow(const TProductFamily& f) {
    Cli_vlp27000::stInsert = "I";
    f.cds.FieldByName(f.flagQ).SetAsString("N");
    f.cds.FieldByName(f.flagT).SetAsString("S");
}

// The code column's search button: the products offered, and the one chosen fills the row.
void TfrmSugestaoProd::SearchProduct(const TProductFamily& f) {
    if (!SelectedIs(f.grid, f.code)) return;
    f.readSearch();
    // Ctrl+U on a row found asks where that product is used, instead of choosing it.
    std::optional<TProductRef> asked;
    bool chosen = false;
    {
        TSearchRowAction whereUsed(
            mnuOndeUsado->shortcut(),
            mnuOndeUsado->shortcut().toString(QKeySequence::NativeText) + ": onde é usado",
            [&](int row) { asked = ProductInRow(*f.searchList.DataSet(), row); });
        chosen =
            Pesquisar(f.searchList, msgPadrao.Msg("PRODUTO") + "|" + msgPadrao.Msg("Prod_N_Cad"),
                      false, true);
    }
    if (asked) return ShowWhereUsed(*asked);
    if (chosen) FillFromProduct(f, *f.searchList.DataSet());
}

// Sends the family's change log. A failure keeps it pending and marks its rows in the grid with
// the reason, until a save goes through or the changes are dropped.
bool TfrmSugestaoProd::SaveProducts(const TProductFamily& f, TRemoteArg operation) {
    try {
        const bool sent = f.save(NetSugProd, std::move(operation), f.cds, msgPadrao.Msg("Atualiza"),
                                 calls::TMergeOrder::HideThenMerge);
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
    if (!SaveProducts(f, TRemoteArg::InOut(operation))) return;
    operation.clear();  // saved: a failure of the re-read below leaves nothing pending
    sbtVerificarClick(static_cast<QObject*>(sbtVerificar));
}

void TfrmSugestaoProd::SaveProductDelete(const TProductFamily& f) {
    // A delete leaves the state as it was: the commands follow the rows left, saved or not.
    Controla_Botoes();
    if (!SaveProducts(f, TRemoteArg::Text("D"))) return;
    update();
}

// Changes whose save failed earlier, sent again with the pending operation code.
void TfrmSugestaoProd::ResendProducts(const TProductFamily& f) {
    std::string operation = Cli_vlp27000::stInsert.empty() ? "E" : Cli_vlp27000::stInsert;
    if (SaveProducts(f, TRemoteArg::InOut(operation))) Cli_vlp27000::stInsert.clear();
}

void TfrmSugestaoProd::CancelProducts(const TProductFamily& f) {
    f.cds.CancelUpdates();
    MarkUnsaved(f, "");
    Controla_Botoes();
}
