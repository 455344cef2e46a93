// The seven commands, each routed by the page shown and the focused grid, and which of them can
// be used (Controla_Botoes).

#include <QAction>
#include <QToolButton>

#include "Cli_vlp27000/Cli_vlp27000.h"
#include "framework/StdDialogs.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

bool Editing(TDataSetState state) {
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

}  // namespace

// On page "Produto" include, change, delete and search take every focus but the main-product
// grid as the related-products grid.
void TfrmSugestaoProd::sbtIncluirClick(QObject* sender) {
    if (pgcPadrao->ActivePage() == tshPadrao) {
        TfrmPadraoGrid::sbtIncluirClick(sender);
        // After the inherited include, whose state change set the buttons and the page.
        tshProduto->SetEnabled(false);
        return;
    }
    const TProductFamily& f = FocusedProducts();
    if (f.cds.State() == TDataSetState::dsBrowse) f.cds.Insert();
    f.cds.FieldByName(f.code).FocusControl();
    Controla_Botoes();
}

void TfrmSugestaoProd::sbtAlterarClick(QObject* sender) {
    if (pgcPadrao->ActivePage() == tshPadrao) return TfrmPadraoGrid::sbtAlterarClick(sender);
    const TProductFamily& f = FocusedProducts();
    if (f.cds.State() == TDataSetState::dsBrowse) f.cds.Edit();
    f.cds.FieldByName(f.flagQ).FocusControl();
    Controla_Botoes();
}

void TfrmSugestaoProd::sbtExcluirClick(QObject* sender) {
    if (pgcPadrao->ActivePage() == tshPadrao) {
        if (ActiveControl() == dbgPadrao) TfrmPadraoGrid::sbtExcluirClick(sender);
        return;
    }
    TClientDataSet& r = FocusedProducts().cds;
    // Asked before the state is looked at: in any other state nothing is deleted.
    const bool yes =
        MessageDlg(msgPadrao.Msg("Excl"), mtConfirmation, {mbYes, mbNo}, 0) == mrYes;
    if (yes && r.State() == TDataSetState::dsBrowse) r.Delete();
}

void TfrmSugestaoProd::sbtProcurarClick(QObject* /*sender*/) {
    TDataSource* d = nullptr;
    if (pgcPadrao->ActivePage() == tshPadrao) {
        if (ActiveControl() == dbgPadrao) d = &dtsPadrao;
    } else {
        d = &FocusedProducts().dts;
    }
    if (d && d->DataSet() && d->DataSet()->Active()) Procura(*d->DataSet());
}

void TfrmSugestaoProd::sbtVerificarClick(QObject* /*sender*/) {
    QWidget* focus = ActiveControl();
    if (pgcPadrao->ActivePage() == tshPadrao) {
        if (focus == dbgPadrao) ReadGroups("CDGRUSUGESPROD");
    } else if (focus == dbgProduto) {
        ReadMainProducts(m_mainProducts.code);
        cdsArvProdAfterScroll(cdsArvProd);
    } else if (focus == dbgProdRelac) {
        ReadRelatedProducts(m_relatedProducts.code);
    }
}

void TfrmSugestaoProd::sbtConfirmarClick(QObject* sender) {
    if (pgcPadrao->ActivePage() == tshProduto) {
        if (ActiveControl() == dbgProdRelac)
            cdsProdRelac.Post();
        else if (ActiveControl() == dbgProduto)
            cdsArvProd.Post();
    }
    TfrmPadraoGrid::sbtConfirmarClick(sender);
    Controla_Botoes();
}

void TfrmSugestaoProd::sbtCancelarClick(QObject* /*sender*/) {
    TDataSource* d = nullptr;
    if (pgcPadrao->ActivePage() == tshPadrao)
        d = &dtsPadrao;
    else if (ActiveControl() == dbgProdRelac)
        d = &dtsProdRelac;
    else if (ActiveControl() == dbgProduto)
        d = &dtsArvProd;
    // The pending operation code goes whatever happens below, the answer and errors included.
    struct ClearOperation {
        ~ClearOperation() { Cli_vlp27000::stInsert.clear(); }
    } clear;
    TClientDataSet* r = d ? d->DataSet() : nullptr;
    if (!r || !Editing(r->State())) return;
    if (msgMensagensPadroes.ShowMsg("Canc", mtConfirmation, {mbYes, mbNo}, 0) == mrYes) r->Cancel();
}

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
