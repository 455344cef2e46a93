// Which commands can be used, from the page shown, the focused grid and its record set.

#include <QAction>
#include <QToolButton>

#include "TDBGrid.h"
#include "TPageControl.h"
#include "TTabSheet.h"
#include "TfrmSugestaoProd.h"

namespace {

bool Editing(TDataSetState state) {
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

}  // namespace

void TfrmSugestaoProd::Controla_Botoes() {
    QWidget* focused = ActiveControl();
    TTabSheet* page = pgcPadrao->ActivePage();
    TClientDataSet* r = nullptr;
    TDataSource* d = nullptr;
    if (page == tshPadrao && focused == dbgPadrao) {
        r = &cdsGrupSegProd;
        d = &dtsPadrao;
    } else if (page == tshProduto && focused == dbgProduto) {
        r = &cdsArvProd;
        d = &dtsArvProd;
    } else if (page == tshProduto && focused == dbgProdRelac) {
        r = &cdsProdRelac;
        d = &dtsProdRelac;
    } else {
        return;
    }

    const bool rEditing = Editing(r->State());
    const bool rHasRows = !r->IsEmpty();
    const bool dEditing = Editing(d->State());
    // Emptiness of D's record set is asked only in browse state: an inactive source has none.
    const bool dBrowseWithRows =
        d->State() == TDataSetState::dsBrowse && d->DataSet() && !d->DataSet()->IsEmpty();

    const std::pair<QAction*, bool> items[] = {
        {mnuConfirmar, dEditing},
        {mnuCancelar, dEditing},
        {mnuIncluir, !rEditing},
        {mnuAlterar, !rEditing && rHasRows},
        {mnuExcluir, !rEditing && rHasRows},
        {mnuProcurar, dBrowseWithRows},
        {mnuVerificar, dBrowseWithRows},
    };
    for (const auto& [item, enabled] : items) item->setEnabled(enabled);

    const std::pair<QToolButton*, QAction*> buttons[] = {
        {sbtConfirmar, mnuConfirmar}, {sbtCancelar, mnuCancelar}, {sbtIncluir, mnuIncluir},
        {sbtAlterar, mnuAlterar},     {sbtExcluir, mnuExcluir},   {sbtProcurar, mnuProcurar},
        {sbtVerificar, mnuVerificar},
    };
    for (const auto& [button, item] : buttons) button->setEnabled(item->isEnabled());

    if (r == &cdsGrupSegProd) tshProduto->SetEnabled(!cdsGrupSegProd.IsEmpty());
}
