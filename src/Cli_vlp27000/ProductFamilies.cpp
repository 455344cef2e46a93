// The twin product families of page "Produto", described once each, and the binding of a
// family's record-set, data-source and grid events to the handlers both share.

#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Reads.h"
#include "controls/TDBGrid.h"

namespace {

bool Editing(const TClientDataSet& dataSet) {
    return dataSet.State() == TDataSetState::dsEdit || dataSet.State() == TDataSetState::dsInsert;
}

}  // namespace

TProductFamily TfrmSugestaoProd::MainProductFamily() {
    return {
        .cds = cdsArvProd,
        .dts = dtsArvProd,
        .grid = dbgProduto,
        .code = "CDARVPROD",
        .name = "NMPRODUTO",
        .flagQ = "IDQUANTPRODPRINC",
        .flagT = "IDTOTALPRODPRINC",
        .underMainProduct = false,
        .fromProduct = {{{"CDPRODUTO", "CDPRODUTO"},
                         {"CDARVPROD", "CDARVPROD"},
                         {"NMPRODUTO", "NMPRODUTO"}}},
        .holds =
            [this](std::string& code) {
                calls::GetVdProdPrinc(NetSugProd, GroupCode(), code, cdsVdProdPrinc,
                                      ProductLookUp());
                return !cdsVdProdPrinc.IsEmpty();
            },
        .readSearch =
            [this] { calls::GetPesqProdPrinc(NetSugProd, cdsPesqProdPrinc, ProductLookUp()); },
        .searchList = dtsPesqProdPrinc,
        .save = &calls::SetArvProd,
    };
}

TProductFamily TfrmSugestaoProd::RelatedProductFamily() {
    return {
        .cds = cdsProdRelac,
        .dts = dtsProdRelac,
        .grid = dbgProdRelac,
        .code = "CDARVPRODRELAC",
        .name = "NMPRODUTORELAC",
        .flagQ = "IDQUANTPROD",
        .flagT = "IDTOTALPROD",
        .underMainProduct = true,
        .fromProduct = {{{"CDARVPRODRELAC", "CDARVPROD"},
                         {"CDPRODUTORELAC", "CDPRODUTO"},
                         {"NMPRODUTORELAC", "NMPRODUTO"}}},
        .holds =
            [this](std::string& code) {
                calls::GetVdProduto(NetSugProd, GroupCode(), MainProductCode(), code, cdsVdProduto,
                                    ProductLookUp());
                return !cdsVdProduto.IsEmpty();
            },
        .readSearch =
            [this] {
                calls::GetPesqProd(NetSugProd, MainProductCode(), GroupCode(), cdsPesqProd,
                                   ProductLookUp());
            },
        .searchList = dtsPesqProd,
        .save = &calls::SetProdRelac,
    };
}

const TProductFamily& TfrmSugestaoProd::FocusedProducts() {
    return ActiveControl() == dbgProduto ? m_mainProducts : m_relatedProducts;
}

// Each binding is the family's handler of that name: cdsArvProdAfterPost and
// cdsProdRelacAfterPost, dbgProdutoKeyDown and dbgProdRelacKeyDown, and so on.
void TfrmSugestaoProd::BindProductFamily(const TProductFamily& f) {
    f.dts.OnStateChange = [this, &f](TDataSource&) { ProductColumnLocks(f); };
    f.cds.AfterInsert = [this, &f](TClientDataSet&) { NewProductRow(f); };
    f.cds.BeforePost = [this, &f](TClientDataSet&) {
        if (f.cds.State() == TDataSetState::dsInsert) Vd_Produto(f, true);
    };
    f.cds.AfterPost = [this, &f](TClientDataSet&) { SaveProductPost(f); };
    f.cds.AfterCancel = [this, &f](TClientDataSet&) { CancelProducts(f); };
    f.cds.AfterDelete = [this, &f](TClientDataSet&) { SaveProductDelete(f); };
    TDBGrid& grid = *f.grid;
    grid.OnColExit = [this, &f](QObject*) { ProductColExit(f); };
    grid.OnColEnter = [this, &f](QObject*) { FlagsEditable(f); };
    grid.OnEditButtonClick = [this, &f](QObject*) { SearchProduct(f); };
    grid.OnExit = [&f](QObject*) {
        if (Editing(f.cds)) f.cds.Post();
    };
    grid.OnEnter = [this](QObject*) { Controla_Botoes(); };
    grid.OnDblClick = [this, &f](QObject*) { FlagDoubleClick(f); };
    grid.OnKeyDown = [this, &f](QObject*, int& key, TShiftState shift) { FlagKey(f, key, shift); };
    grid.OnDrawColumnCell = [this, &f](QObject*, const QRect& rect, int, TColumn& column,
                                       TGridDrawState) { DrawFlag(f, rect, column); };
}
