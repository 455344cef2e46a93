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

    // Page "Grupo": the checks of a group row (groups.cpp). Each Vd_ check does nothing unless
    // page "Grupo" is shown and the groups are being edited; a refusal puts the cursor on its
    // field and aborts with EAbort after the message. boObrigatorio: an empty value is refused.
    void dbgPadraoKeyPress(QObject* sender, char32_t& key) override;  // digits only in the code
    void dbgPadraoColExit(QObject* sender);
    void cdsGrupSegProdBeforePost(TClientDataSet& dataSet);
    void Vd_Grupo(bool boObrigatorio);
    void Vd_NmGrupo(bool boObrigatorio);
    void Vd_Ordem(bool boObrigatorio);
    // Saving groups: every post or delete goes to the server at once; a failed save drops the
    // pending change (the grid shows the last saved state) and travels on.
    void cdsGrupSegProdAfterPost(TClientDataSet& dataSet);
    void cdsGrupSegProdAfterDelete(TClientDataSet& dataSet);
    void cdsGrupSegProdAfterCancel(TClientDataSet& dataSet);
    void dbgPadraoExit(QObject* sender);
    // Inherited handling, relayout, the code column's ellipsis while inserting, the buttons.
    void dtsPadraoStateChange(TDataSource* sender) override;

    // Pages and the lists read for them (lifecycle.cpp).
    void pgcPadraoChange(QObject* sender);
    void cdsArvProdAfterScroll(TClientDataSet& dataSet);     // reads the related products
    void cdsGrupSegProdAfterScroll(TClientDataSet& dataSet); // the same, on page "Produto" only
    void dbgPadraoEnter(QObject* sender);

    // Page "Produto" (products.cpp).
    void dbgProdutoEnter(QObject* sender);
    void dbgProdRelacEnter(QObject* sender);

    // The seven commands, routed by the page shown and the focused grid (commands.cpp).
    void sbtIncluirClick(QObject* sender) override;
    void sbtAlterarClick(QObject* sender) override;
    void sbtExcluirClick(QObject* sender) override;
    void sbtProcurarClick(QObject* sender) override;
    void sbtVerificarClick(QObject* sender) override;
    void sbtConfirmarClick(QObject* sender) override;
    void sbtCancelarClick(QObject* sender) override;

    // Enables the commands for the grid that holds the focus on the page shown; changes nothing
    // when the focus is on no grid of that page.
    void Controla_Botoes();

    // The design size, so that the host's child window opens showing the whole screen.
    QSize sizeHint() const override;

  private:
    void BuildProductPage();
    void BindComponents();
    void BindHandlers();

    // Runs a group check's steps under its frame (page and state guard, cursor on the field
    // when anything fails).
    template <class Steps>
    void GroupCheck(const char* fieldName, Steps steps);
    [[noreturn]] void Refuse(const char* messageKey);
    // A look-up without busy animation, loaded into target.
    void LookUp(const char* method, std::vector<TRemoteArg> args, TClientDataSet& target);
    void SaveGroups();
    // A list read under the busy animation (kind 6, "verificando"); keyField re-positions.
    void ReadList(const char* method, std::vector<TRemoteArg> args, TClientDataSet& target,
                  const char* keyField = "", std::function<void()> afterLoad = {});
    std::string GroupCode() const;        // CDGRUSUGESPROD of the current group
    std::string MainProductCode() const;  // CDPRODUTO of the current main product
};
