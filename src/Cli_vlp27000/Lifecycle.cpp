// Opening and closing the screen, the connection, the screen unit's start-up/shut-down, and the
// lists read as the user turns the pages and moves through groups and main products.

#include "framework/BusyAnimation.h"
#include "Cli_vlp27000/Cli_vlp27000.h"
#include "calls/Reads.h"
#include "framework/TApplication.h"
#include "calls/TBusyGuard.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace Cli_vlp27000 {

TfrmSugestaoProd* frmSugestaoProd = nullptr;
bool boIdCriado = false;
std::string stInsert;

namespace {

// The hourglass stays only while opening; a failed creation must not leave it behind.
class TWaitCursor {
  public:
    TWaitCursor() { Application().SetCursor(crHourGlass); }
    ~TWaitCursor() { Application().SetCursor(crDefault); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace

void CriaSugestaoProd() {
    TWaitCursor cursor;
    if (!boIdCriado) {
        Application().CreateForm(frmSugestaoProd);  // runs FormCreate
        boIdCriado = true;
    }
    frmSugestaoProd->Show();
    frmSugestaoProd->SetWindowState(wsNormal);
}

void Initialization() {
    boIdCriado = false;
    stInsert.clear();
}

void Finalization() { std::string().swap(stInsert); }

}  // namespace Cli_vlp27000

void TfrmSugestaoProd::FormCreate(QObject* sender) {
    TfrmPadraoGrid::FormCreate(sender);

    {
        calls::TBusyGuard busy(aviConnecting, "");
        NetSugProd.SetConnected(true);
    }

    // Asked once per field: the host may answer each differently over time.
    cdsProdRelac.FieldByName("CDARVPRODRELAC").EditMask = DBPict(0);
    cdsArvProd.FieldByName("CDARVPROD").EditMask = DBPict(0);
    cdsPesqProd.FieldByName("CDARVPROD").EditMask = DBPict(0);
    cdsPesqProd.FieldByName("CDPRODUTO").EditMask = DBPict(0);
    cdsPesqProdPrinc.FieldByName("CDARVPROD").EditMask = DBPict(0);

    cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").Tag = 1;
    pgcPadrao->SetActivePage(tshPadrao);

    ReadGroups();

    Controla_Botoes();
}

void TfrmSugestaoProd::FormClose(QObject* sender, TCloseAction& action) {
    NetSugProd.SetConnected(false);
    Cli_vlp27000::boIdCriado = false;
    TfrmPadraoGrid::FormClose(sender, action);
}

void TfrmSugestaoProd::NetSugProdBeforeConnect(TNetConnection& /*sender*/) {
    NetSugProd.Host = WebURL();
    NetSugProd.Port = WebPort();
}

calls::TFetchOptions TfrmSugestaoProd::ListRead(const char* keyField,
                                                std::function<void()> afterLoad) {
    calls::TFetchOptions read;
    read.AviKind = aviReading;
    read.Caption = msgPadrao.Msg("verificando");
    read.KeyField = keyField;
    read.AfterLoad = std::move(afterLoad);
    return read;
}

void TfrmSugestaoProd::ReadGroups(const char* keyField) {
    calls::GetGrupSegProd(NetSugProd, cdsGrupSegProd, ListRead(keyField));
}

void TfrmSugestaoProd::ReadMainProducts(const char* keyField) {
    const std::string group = GroupCode();
    KeepOrDropBeforeRead(m_mainProducts);
    calls::GetArvProd(NetSugProd, group, cdsArvProd, ListRead(keyField));
}

void TfrmSugestaoProd::ReadRelatedProducts(const char* keyField, std::function<void()> afterLoad) {
    const std::string group = GroupCode();
    const std::string main = MainProductCode();
    KeepOrDropBeforeRead(m_relatedProducts);
    calls::GetProdRelac(NetSugProd, group, main, cdsProdRelac,
                        ListRead(keyField, std::move(afterLoad)));
}

std::string TfrmSugestaoProd::GroupCode() const {
    return cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString();
}

std::string TfrmSugestaoProd::MainProductCode() const {
    return cdsArvProd.FieldByName("CDPRODUTO").AsString();
}

void TfrmSugestaoProd::pgcPadraoChange(QObject* /*sender*/) {
    if (pgcPadrao->ActivePage() == tshPadrao) {
        dbgPadrao->setFocus(Qt::OtherFocusReason);
        // Groups are kept across turns; only a list that is empty (or never read) is read again.
        if (cdsGrupSegProd.IsEmpty()) ReadGroups();
        return;
    }
    try {
        ReadMainProducts();
    } catch (...) {
        TurnBackToGroups();
        throw;
    }
    // The focus arrives after the lists were read, so the buttons follow what was read; a failed
    // read of the related products still leaves it in the main products just read.
    try {
        cdsArvProdAfterScroll(cdsArvProd);
    } catch (...) {
        dbgProduto->setFocus(Qt::OtherFocusReason);
        throw;
    }
    dbgProduto->setFocus(Qt::OtherFocusReason);
}

void TfrmSugestaoProd::TurnBackToGroups() {
    // Main products of another group must not stand editable under this one's name.
    pgcPadrao->SetActivePage(tshPadrao);
    dbgPadrao->setFocus(Qt::OtherFocusReason);
    Controla_Botoes();
}

void TfrmSugestaoProd::cdsArvProdAfterScroll(TClientDataSet& /*dataSet*/) {
    ReadRelatedProducts();
}

void TfrmSugestaoProd::cdsGrupSegProdAfterScroll(TClientDataSet& /*dataSet*/) {
    if (pgcPadrao->ActivePage() != tshProduto) return;
    ReadRelatedProducts("", [this] { Controla_Botoes(); });
}

void TfrmSugestaoProd::dbgPadraoEnter(QObject* /*sender*/) {
    // Assigning the record set again reports inactive and back: the state handling, and with it
    // the buttons, runs for the grid just entered.
    if (ActiveControl() == dbgPadrao) dtsPadrao.SetDataSet(&cdsGrupSegProd);
}
