// Nothing the user did is dropped without a word: closing the screen with a row being edited or
// changes the server has not accepted asks "Grava as alterações?", and a re-read that would
// replace product changes whose save failed asks whether to send them again.

#include "Cli_vlp27000.h"
#include "StdDialogs.h"
#include "TDBGrid.h"
#include "TfrmSugestaoProd.h"

namespace {

bool Editing(const TClientDataSet& dataSet) {
    return dataSet.State() == TDataSetState::dsEdit || dataSet.State() == TDataSetState::dsInsert;
}

}  // namespace

std::vector<TClientDataSet*> TfrmSugestaoProd::EditedDataSets() {
    return {&cdsGrupSegProd, &cdsArvProd, &cdsProdRelac};
}

bool TfrmSugestaoProd::HasUnsavedWork() {
    for (TClientDataSet* r : EditedDataSets())
        if ((Editing(*r) && r->Modified()) || r->ChangeCount() > 0) return true;
    return false;
}

void TfrmSugestaoProd::FormCloseQuery(QObject* /*sender*/, bool& CanClose) {
    // An open cell counts as typed: written first, a refused value keeps the screen.
    for (TDBGrid* grid : {dbgPadrao, dbgProduto.data(), dbgProdRelac.data()})
        if (grid && !grid->CommitEditor()) {
            CanClose = false;
            return;
        }
    if (!HasUnsavedWork()) return;
    switch (msgMensagensPadroes.ShowMsg("Grava", mtConfirmation, {mbYes, mbNo, mbCancel}, 0)) {
        case mrYes:
            SaveUnsavedWork();  // a refusal travels on, after its message, and keeps the screen
            break;
        case mrNo:
            DropUnsavedWork();
            break;
        default:
            CanClose = false;
    }
}

// Posts what is being edited (the checks run and each post is saved at once), then sends again
// the product changes whose save failed earlier. An untouched new row is dropped, not posted.
void TfrmSugestaoProd::SaveUnsavedWork() {
    for (TClientDataSet* r : EditedDataSets()) {
        if (r->State() == TDataSetState::dsInsert && !r->Modified())
            r->Cancel();
        else if (Editing(*r))
            r->Post();
    }
    for (const TProductFamily& f : {MainProducts(), RelatedProducts()})
        if (f.cds.ChangeCount() > 0) ResendProducts(f);
}

void TfrmSugestaoProd::DropUnsavedWork() {
    for (TClientDataSet* r : EditedDataSets()) {
        if (Editing(*r)) r->Cancel();
        if (r->ChangeCount() > 0) r->CancelUpdates();
    }
    for (const TProductFamily& f : {MainProducts(), RelatedProducts()}) MarkUnsaved(f, "");
    Cli_vlp27000::stInsert.clear();
}

void TfrmSugestaoProd::KeepOrDropBeforeRead(TClientDataSet& target) {
    if (&target != &cdsArvProd && &target != &cdsProdRelac) return;
    if (target.ChangeCount() == 0 || Editing(target)) return;
    const TProductFamily f = &target == &cdsArvProd ? MainProducts() : RelatedProducts();
    if (msgMensagensPadroes.ShowMsg("Reenvia", mtConfirmation, {mbYes, mbNo}, 0) == mrYes) {
        ResendProducts(f);  // a failure stops the read: the changes stay, marked
        return;
    }
    // Dropped as the cancel command drops them.
    target.CancelUpdates();
    MarkUnsaved(f, "");
    Cli_vlp27000::stInsert.clear();
}
