// Nothing the user did is dropped without a word: what closing the screen would lose (a row being
// edited, product changes the server has not accepted) for the base form's "Grava as
// alterações?", and a re-read that would replace product changes whose save failed asks whether
// to send them again.

#include "Cli_vlp27000/Cli_vlp27000.h"
#include "framework/StdDialogs.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

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

// Posts what is being edited (the checks run and each post is saved at once), then sends again
// the product changes whose save failed earlier. An untouched new row is dropped, not posted.
void TfrmSugestaoProd::SaveUnsavedWork() {
    for (TClientDataSet* r : EditedDataSets()) {
        if (r->State() == TDataSetState::dsInsert && !r->Modified())
            r->Cancel();
        else if (Editing(*r))
            r->Post();
    }
    for (const TProductFamily* f : ProductFamilies())
        if (f->cds.ChangeCount() > 0) ResendProducts(*f);
}

void TfrmSugestaoProd::DropUnsavedWork() {
    for (TClientDataSet* r : EditedDataSets()) {
        if (Editing(*r)) r->Cancel();
        if (r->ChangeCount() > 0) r->CancelUpdates();
    }
    for (const TProductFamily* f : ProductFamilies()) MarkUnsaved(*f, "");
    Cli_vlp27000::stInsert.clear();
}

void TfrmSugestaoProd::KeepOrDropBeforeRead(const TProductFamily& f) {
    if (f.cds.ChangeCount() == 0 || Editing(f.cds)) return;
    if (msgMensagensPadroes.ShowMsg("Reenvia", mtConfirmation, {mbYes, mbNo}, 0) == mrYes) {
        ResendProducts(f);  // a failure stops the read: the changes stay, marked
        return;
    }
    // Dropped as the cancel command drops them.
    f.cds.CancelUpdates();
    MarkUnsaved(f, "");
    Cli_vlp27000::stInsert.clear();
}
