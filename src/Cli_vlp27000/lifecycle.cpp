// Opening and closing the screen, the connection, and the screen unit's start-up/shut-down.

#include "BusyAnimation.h"
#include "Cli_vlp27000.h"
#include "Fetch.h"
#include "TApplication.h"
#include "TBusyGuard.h"
#include "TDBGrid.h"
#include "TPageControl.h"
#include "TfrmSugestaoProd.h"

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
        server::TBusyGuard busy(aviConnecting, "");
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

    server::TFetchOptions read;
    read.AviKind = aviReading;
    read.Caption = msgPadrao.Msg("verificando");
    server::Fetch(NetSugProd, "GetGrupSegProd", {}, cdsGrupSegProd, read);

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
