#pragma once
// The "Sugestão de Produtos" screen: suggestion groups on page "Grupo", their main and related
// products on page "Produto". Created only through CriaSugestaoProd; owned by the application
// object and released when closed. Handlers replace the base form's ones of the same name and
// say when they run the inherited one. UI thread only.

#include <QImage>
#include <QPointer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "Cli_vlp27000/TProductFamily.h"
#include "Cli_vlp27000/TWhereUsed.h"
#include "calls/Fetch.h"
#include "controls/TDBGrid.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"
#include "dataaccess/TNetConnection.h"
#include "framework/TfrmPadraoGrid.h"

class QFrame;
class QKeySequence;
class QRect;
class QSplitter;
class TColumn;
class TCopyGroupDialog;
class TWhereUsedDialog;
struct TNewGroup;
struct THistoryRow;
struct TPreviewTexts;

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
    // Guarded: the base form deletes its grids when it closes, before the form itself goes.
    QPointer<TDBGrid> dbgProduto;
    QPointer<TDBGrid> dbgProdRelac;
    QImage imgCheck, imgUnCheck;

    TNetConnection NetSugProd;

    // Inherited FormCreate, connect, edit masks, group-code Tag, page "Grupo", read the groups,
    // set the buttons; an error stops there and travels on.
    void FormCreate(QObject* sender) override;
    // Disconnects and clears boIdCriado before the inherited FormClose.
    void FormClose(QObject* sender, TCloseAction& action) override;
    // Host and port from the host configuration, every time the connection opens.
    void NetSugProdBeforeConnect(TNetConnection& sender);

    // Page "Grupo": the checks of a group row (Groups.cpp). Each Vd_ check does nothing unless
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

    // Pages and the lists read for them (Lifecycle.cpp).
    void pgcPadraoChange(QObject* sender);
    void cdsArvProdAfterScroll(TClientDataSet& dataSet);      // reads the related products
    void cdsGrupSegProdAfterScroll(TClientDataSet& dataSet);  // the same, on page "Produto" only
    void dbgPadraoEnter(QObject* sender);

    // Page "Produto": the twin product families, main products and the products related to the
    // current main product, one set of handlers for both (Products.cpp, Flags.cpp) bound to each
    // family's events (ProductFamilies.cpp). Only a row being inserted takes a typed code,
    // checked with the server (Vd_Produto) as the code column is left and before the post; every
    // post or delete is saved at once with the pending operation code stInsert. The flag columns
    // are drawn as check boxes and switched by space or double click, never typed into.
    void Vd_Produto(const TProductFamily& family, bool boObrigatorio);
    void Vd_ProdPrinc(bool boObrigatorio) { Vd_Produto(m_mainProducts, boObrigatorio); }
    void Vd_Produto(bool boObrigatorio) { Vd_Produto(m_relatedProducts, boObrigatorio); }

    // The seven commands, routed by the page shown and the focused grid (Commands.cpp).
    void sbtIncluirClick(QObject* sender) override;
    void sbtAlterarClick(QObject* sender) override;
    void sbtExcluirClick(QObject* sender) override;
    void sbtProcurarClick(QObject* sender) override;
    void sbtVerificarClick(QObject* sender) override;
    void sbtConfirmarClick(QObject* sender) override;
    void sbtCancelarClick(QObject* sender) override;

    // Registro > Exportar… and Importar…: the suggestions to and from a CSV file, on either page
    // (ExportSuggestions.cpp, ImportSuggestions.cpp). Export: the current group or all, to a
    // file written whole or not at all. Import: a file, the mode, the server's preview, and only
    // on Aplicar the import itself, after which every list is read again.
    QAction *mnuExportar, *mnuImportar;
    void mnuExportarClick(QObject* sender);
    void mnuImportarClick(QObject* sender);

    // Registro > Onde é usado… (Ctrl+U, on a product cell of page "Produto" or a row of the
    // product search), Histórico… (Ctrl+H, the current group's saves, of the current main product
    // on page "Produto", each of which can be undone) and Copiar grupo… (page "Grupo"); see
    // WhereUsed.cpp, History.cpp, CopyGroup.cpp. What the user typed is saved or dropped first
    // wherever the lists are read again.
    QAction *mnuOndeUsado, *mnuHistorico, *mnuCopiarGrupo;
    void mnuOndeUsadoClick(QObject* sender);
    void mnuHistoricoClick(QObject* sender);
    void mnuCopiarGrupoClick(QObject* sender);

    // Enables the commands for the grid that holds the focus on the page shown; changes nothing
    // when the focus is on no grid of that page.
    void Controla_Botoes();

    // The design size, so that the host's child window opens showing the whole screen.
    QSize sizeHint() const override;

  private:
    void BuildProductPage();
    void AddRecordCommands();
    QAction* AddRecordItem(const char* name, const QString& caption, const QKeySequence& key,
                           void (TfrmSugestaoProd::*handler)(QObject*));
    // The code of the group shown, "" while it is a new row the server does not have yet.
    std::string SavedGroupCode() const;
    // Every list of the screen read again, keeping the current rows where they still are.
    void ReadAllAgain();
    // An action the server previews first (the import, a replacement, an undo): the preview is
    // shown with texts and only Aplicar applies it, then every list is read again. call runs the
    // method with Simular "S" (previewOnly) or "N" into the answer. Returns the summary of what
    // was applied; nullopt when the user did not apply it. Errors found only when applying are
    // refused with texts.RefusedOnApply.
    using TPreviewedCall = std::function<void(bool previewOnly, TClientDataSet& answer)>;
    std::optional<std::string> ApplyPreviewed(const TPreviewTexts& texts,
                                              const TPreviewedCall& call);
    // Where used (WhereUsed.cpp): the dialog for a product, going to a line, and the
    // replacement (or removal, with an empty replacement) everywhere.
    void ShowWhereUsed(const TProductRef& product);
    void GoToUse(const TWhereUsedRow& use, const std::string& productCode);
    void ReplaceEverywhere(TWhereUsedDialog& dialog, bool remove);
    std::optional<TProductRef> ProductAtCursor();
    bool UndoSave(const THistoryRow& save);  // History.cpp; true when undone
    // CopyGroup.cpp: the group checks on the new group's values, then the copy.
    void CopyGroup(TCopyGroupDialog& dialog, const std::string& source, TNewGroup& group);
    void BindComponents();
    void BindHandlers();

    // Runs a group check's steps under its frame (page and state guard, cursor on the field
    // when anything fails).
    template <class Steps>
    void GroupCheck(const char* fieldName, Steps steps);
    [[noreturn]] void Refuse(const char* messageKey);
    void SaveGroups();
    // The three lists, read under the busy animation (kind 6, "verificando"); keyField
    // re-positions. A product list's changes whose save failed are sent again or dropped first.
    void ReadGroups(const char* keyField = "");
    void ReadMainProducts(const char* keyField = "");
    void ReadRelatedProducts(const char* keyField = "", std::function<void()> afterLoad = {});
    calls::TFetchOptions ListRead(const char* keyField, std::function<void()> afterLoad = {});
    std::string GroupCode() const;        // CDGRUSUGESPROD of the current group
    std::string MainProductCode() const;  // CDPRODUTO of the current main product

    // The twin product families, built once and bound to their events (ProductFamilies.cpp).
    TProductFamily MainProductFamily();
    TProductFamily RelatedProductFamily();
    void BindProductFamily(const TProductFamily& family);
    std::array<const TProductFamily*, 2> ProductFamilies() const {  // main products first
        return {&m_mainProducts, &m_relatedProducts};
    }
    // On page "Produto", every focus but the main-product grid counts as the related products'.
    const TProductFamily& FocusedProducts();
    // The steps of the families' handlers (Products.cpp, Flags.cpp).
    static calls::TFetchOptions ProductLookUp();  // busy animation (kind 6), no caption
    void ProductColumnLocks(const TProductFamily& family);
    void RefuseProduct(const TProductFamily& family, const char* messageKey);
    void FillFromProduct(const TProductFamily& family, const TClientDataSet& product);
    void ProductColExit(const TProductFamily& family);
    void SearchProduct(const TProductFamily& family);
    bool SaveProducts(const TProductFamily& family, TRemoteArg operation);
    void MarkUnsaved(const TProductFamily& family, const std::string& reason);  // "": unmarked
    void ResendProducts(const TProductFamily& family);
    void SaveProductPost(const TProductFamily& family);
    void SaveProductDelete(const TProductFamily& family);
    void CancelProducts(const TProductFamily& family);
    void NewProductRow(const TProductFamily& family);
    void FlagsEditable(const TProductFamily& family);
    void DrawFlag(const TProductFamily& family, const QRect& rect, TColumn& column);
    void FlagKey(const TProductFamily& family, int key, int shift);
    void FlagDoubleClick(const TProductFamily& family);

    // Work the server does not have yet, for the close question (Unsaved.cpp): a changed row
    // being edited in any record set, or product changes whose save failed. Saving posts (the
    // checks run, each post is saved) and sends the failed changes again; dropping cancels all.
    std::vector<TClientDataSet*> EditedDataSets();
    bool HasUnsavedWork() override;
    void SaveUnsavedWork() override;
    void DropUnsavedWork() override;
    // Before a read replaces the family's list: its changes whose save failed are sent again or
    // dropped, as the user answers "Reenvia".
    void KeepOrDropBeforeRead(const TProductFamily& family);
    // A page turn whose read failed does not happen: back to page "Grupo".
    void TurnBackToGroups();

    // Declared after every member they refer to, so built after them.
    const TProductFamily m_mainProducts;
    const TProductFamily m_relatedProducts;
};
