#pragma once
// The "Sugestão de Produtos" screen: suggestion groups on page "Grupo", their main and related
// products on page "Produto". Created only through CriaSugestaoProd; owned by the application
// object and released when closed. Handlers replace the base form's ones of the same name and
// say when they run the inherited one. UI thread only.

#include <QImage>
#include <functional>
#include <memory>

#include "TClientDataSet.h"
#include "TDataSource.h"
#include "TNetConnection.h"
#include "TfrmPadraoGrid.h"

class QFrame;
class QSplitter;

class TfrmSugestaoProd : public TfrmPadraoGrid {
    Q_OBJECT
  public:
    explicit TfrmSugestaoProd(QWidget* parent = nullptr);
    ~TfrmSugestaoProd() override;

    // The transport NetSugProd is built with; empty (the default) means HTTP. Tests put an
    // in-process server here before opening the screen.
    using TTransportFactory = std::function<std::unique_ptr<RpcTransport>()>;
    static void SetTransportFactory(TTransportFactory factory);

    // Record sets (editable, then look-ups) and their data sources; declared before the
    // controls' data sources so that these outlive them.
    TClientDataSet cdsGrupSegProd, cdsArvProd, cdsProdRelac;
    TClientDataSet cdsVerifGrup, cdsNmGrupo, cdsVerifOrd, cdsVerifProduto, cdsVdProdPrinc,
        cdsVdProduto, cdsPesqProdPrinc, cdsPesqProd;
    TDataSource dtsArvProd, dtsProdRelac, dtsPesqProd, dtsPesqProdPrinc;

    TTabSheet* tshProduto;
    QFrame* panProduto;  // the lowered panel holding both product grids
    QSplitter* splProduto;
    TDBGrid* dbgProduto;
    TDBGrid* dbgProdRelac;
    QImage imgCheck, imgUnCheck;

    TNetConnection NetSugProd;

    // Inherited FormCreate, connect, edit masks, group-code Tag, page "Grupo", read the groups,
    // set the buttons; an error stops there and travels on.
    void FormCreate(QObject* sender) override;
    // Disconnects and clears boIdCriado before the inherited FormClose.
    void FormClose(QObject* sender, TCloseAction& action) override;
    // Host and port from the host configuration, every time the connection opens.
    void NetSugProdBeforeConnect(TNetConnection& sender);

    // Enables the commands for the grid that holds the focus on the page shown; changes nothing
    // when the focus is on no grid of that page.
    void Controla_Botoes();

    // The design size, so that the host's child window opens showing the whole screen.
    QSize sizeHint() const override;

  private:
    void BuildProductPage();
    void BindComponents();
};
