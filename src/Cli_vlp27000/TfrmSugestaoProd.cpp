#include "TfrmSugestaoProd.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QToolButton>

#include "CheckImages.h"
#include "Cli_vlp27000.h"
#include "GridDefs.h"
#include "MessageCatalogue.h"
#include "RecordSetDefs.h"
#include "ScreenLayout.h"
#include "TDBGrid.h"
#include "TDBText.h"
#include "TPageControl.h"
#include "TTabSheet.h"

namespace {

TfrmSugestaoProd::TTransportFactory& TransportFactory() {
    static TfrmSugestaoProd::TTransportFactory factory;
    return factory;
}

std::unique_ptr<RpcTransport> MakeTransport() {
    return TransportFactory() ? TransportFactory()() : nullptr;
}

std::vector<TFieldDef> FieldsOf(const char* name) { return model::RecordSetDef(name).Fields; }

TDBGridOptions ToGridOptions(unsigned bits) {
    static const std::pair<model::TGridOption, TDBGridOption> map[] = {
        {model::goEditing, dgEditing},
        {model::goTitles, dgTitles},
        {model::goColumnResize, dgColumnResize},
        {model::goColLines, dgColLines},
        {model::goRowLines, dgRowLines},
        {model::goTabs, dgTabs},
        {model::goAlwaysShowSelection, dgAlwaysShowSelection},
        {model::goConfirmDelete, dgConfirmDelete},
        {model::goCancelOnExit, dgCancelOnExit},
    };
    TDBGridOptions options;
    for (const auto& [bit, option] : map)
        if (bits & bit) options.insert(option);
    return options;
}

void ApplyGridDef(TDBGrid& grid, const model::TGridDef& def) {
    grid.setObjectName(QString::fromStdString(def.Name));
    grid.Columns().Clear();
    for (const model::TColumnDef& column : def.Columns)
        grid.Columns().Add(column.FieldName, column.Width);
    if (def.Options) grid.Options = ToGridOptions(def.Options);
    if (def.Borderless) grid.setFrameShape(QFrame::NoFrame);
    if (def.TooltipBackground) {
        QPalette palette = grid.palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
        grid.setPalette(palette);
    }
    if (!def.TitleFont.empty()) {
        QFont font(QString::fromStdString(def.TitleFont), def.TitleFontPoints);
        grid.horizontalHeader()->setFont(font);
    }
    grid.RecalcLayoutAndRepaint();
}

}  // namespace

#define CDS(name) name(#name, FieldsOf(#name))

TfrmSugestaoProd::TfrmSugestaoProd(QWidget* parent)
    : TfrmPadraoGrid(parent),
      CDS(cdsGrupSegProd),
      CDS(cdsArvProd),
      CDS(cdsProdRelac),
      CDS(cdsVerifGrup),
      CDS(cdsNmGrupo),
      CDS(cdsVerifOrd),
      CDS(cdsVerifProduto),
      CDS(cdsVdProdPrinc),
      CDS(cdsVdProduto),
      CDS(cdsPesqProdPrinc),
      CDS(cdsPesqProd),
      dtsArvProd(&cdsArvProd),
      dtsProdRelac(&cdsProdRelac),
      dtsPesqProd(&cdsPesqProd),
      dtsPesqProdPrinc(&cdsPesqProdPrinc),
      imgCheck(model::CheckImage()),
      imgUnCheck(model::UnCheckImage()),
      NetSugProd(MakeTransport()) {
    setObjectName("frmSugestaoProd");
    SetCaption(model::layout::kCaption);
    resize(model::layout::kWidth, model::layout::kHeight);
    lblCodTela->setText(model::layout::kScreenCode);
    sbtImprimir->setEnabled(false);
    mnuImprimir->setEnabled(false);

    msgPadrao.SetItems(model::ScreenMessages());

    pgcPadrao->resize(model::layout::kPageControlWidth, model::layout::kPageControlHeight);
    tshPadrao->SetCaption(model::layout::kGroupPageCaption);
    BuildProductPage();
    BindComponents();
}

#undef CDS

TfrmSugestaoProd::~TfrmSugestaoProd() {
    // A screen released without its close (the host tearing down) must not leave the module
    // pointing at freed memory.
    if (Cli_vlp27000::frmSugestaoProd == this) Cli_vlp27000::boIdCriado = false;
    // The handlers read this screen's members: none may run while those members die.
    ReleaseControls();
    for (TDataSource* source : {&dtsArvProd, &dtsProdRelac, &dtsPesqProd, &dtsPesqProdPrinc})
        source->OnStateChange = nullptr;
    for (TClientDataSet* dataSet :
         {&cdsGrupSegProd, &cdsArvProd, &cdsProdRelac, &cdsVerifGrup, &cdsNmGrupo, &cdsVerifOrd,
          &cdsVerifProduto, &cdsVdProdPrinc, &cdsVdProduto, &cdsPesqProdPrinc, &cdsPesqProd})
        dataSet->ClearEvents();
    NetSugProd.BeforeConnect = nullptr;
}

QSize TfrmSugestaoProd::sizeHint() const {
    return QSize(model::layout::kWidth, model::layout::kHeight);
}

void TfrmSugestaoProd::SetTransportFactory(TTransportFactory factory) {
    TransportFactory() = std::move(factory);
}

void TfrmSugestaoProd::BuildProductPage() {
    tshProduto = new TTabSheet(pgcPadrao, model::layout::kProductPageCaption);
    tshProduto->setObjectName("tshProduto");
    panProduto = new QFrame(tshProduto);
    panProduto->setObjectName("panProduto");
    panProduto->setFrameShape(QFrame::Panel);
    panProduto->setFrameShadow(QFrame::Sunken);
    auto* pageLayout = new QHBoxLayout(tshProduto);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(panProduto);

    splProduto = new QSplitter(Qt::Horizontal, panProduto);
    splProduto->setObjectName("splProduto");
    splProduto->setHandleWidth(model::layout::kSplitterWidth);
    splProduto->setChildrenCollapsible(false);
    auto* panelLayout = new QHBoxLayout(panProduto);
    panelLayout->setContentsMargins(panProduto->frameWidth(), panProduto->frameWidth(),
                                    panProduto->frameWidth(), panProduto->frameWidth());
    panelLayout->addWidget(splProduto);

    dbgProduto = new TDBGrid(splProduto);
    dbgProdRelac = new TDBGrid(splProduto);
    splProduto->addWidget(dbgProduto);
    splProduto->addWidget(dbgProdRelac);
    splProduto->setStretchFactor(0, 0);
    splProduto->setStretchFactor(1, 1);
    const int rest = model::layout::kPageControlWidth - model::layout::kMainGridWidth -
                     model::layout::kSplitterWidth;
    splProduto->setSizes({model::layout::kMainGridWidth, rest});
}

void TfrmSugestaoProd::BindComponents() {
    dtsPadrao.SetDataSet(&cdsGrupSegProd);
    dbgPadrao->SetDataSource(&dtsPadrao);
    dbgProduto->SetDataSource(&dtsArvProd);
    dbgProdRelac->SetDataSource(&dtsProdRelac);
    ApplyGridDef(*dbgPadrao, model::GridDef("dbgPadrao"));
    ApplyGridDef(*dbgProduto, model::GridDef("dbgProduto"));
    ApplyGridDef(*dbgProdRelac, model::GridDef("dbgProdRelac"));
    dbtNome->SetDataSource(&dtsPadrao);
    dbtNome->SetDataField(model::layout::kNavigatorField);

    NetSugProd.ServerName = "VLP27000.rdmSugestaoProd";
    NetSugProd.ThrowException = false;
    NetSugProd.BeforeConnect = [this](TNetConnection& sender) { NetSugProdBeforeConnect(sender); };
    BindHandlers();
}

void TfrmSugestaoProd::BindHandlers() {
    auto cds = [this](void (TfrmSugestaoProd::*handler)(TClientDataSet&)) {
        return [this, handler](TClientDataSet& dataSet) { (this->*handler)(dataSet); };
    };
    auto grid = [this](void (TfrmSugestaoProd::*handler)(QObject*)) {
        return [this, handler](QObject* sender) { (this->*handler)(sender); };
    };
    cdsGrupSegProd.BeforePost = cds(&TfrmSugestaoProd::cdsGrupSegProdBeforePost);
    cdsGrupSegProd.AfterPost = cds(&TfrmSugestaoProd::cdsGrupSegProdAfterPost);
    cdsGrupSegProd.AfterDelete = cds(&TfrmSugestaoProd::cdsGrupSegProdAfterDelete);
    cdsGrupSegProd.AfterCancel = cds(&TfrmSugestaoProd::cdsGrupSegProdAfterCancel);
    cdsGrupSegProd.AfterScroll = cds(&TfrmSugestaoProd::cdsGrupSegProdAfterScroll);
    cdsArvProd.AfterScroll = cds(&TfrmSugestaoProd::cdsArvProdAfterScroll);
    dbgPadrao->OnColExit = grid(&TfrmSugestaoProd::dbgPadraoColExit);
    dbgPadrao->OnExit = grid(&TfrmSugestaoProd::dbgPadraoExit);
    dbgPadrao->OnEnter = grid(&TfrmSugestaoProd::dbgPadraoEnter);
    pgcPadrao->OnChange = grid(&TfrmSugestaoProd::pgcPadraoChange);
    auto source = [this](void (TfrmSugestaoProd::*handler)(TDataSource*)) {
        return [this, handler](TDataSource& sender) { (this->*handler)(&sender); };
    };

    // The twin product families, bound alike.
    using F = TfrmSugestaoProd;
    struct Family {
        TClientDataSet& cds;
        TDataSource& dts;
        TDBGrid* grid;
        void (F::*stateChange)(TDataSource*);
        void (F::*afterInsert)(TClientDataSet&);
        void (F::*beforePost)(TClientDataSet&);
        void (F::*afterPost)(TClientDataSet&);
        void (F::*afterCancel)(TClientDataSet&);
        void (F::*afterDelete)(TClientDataSet&);
        void (F::*colExit)(QObject*);
        void (F::*colEnter)(QObject*);
        void (F::*editButton)(QObject*);
        void (F::*exit)(QObject*);
        void (F::*enter)(QObject*);
        void (F::*dblClick)(QObject*);
        void (F::*keyDown)(QObject*, int&, int);
        void (F::*drawCell)(QObject*, const QRect&, int, TColumn&, int);
    };
    const Family families[] = {
        {cdsArvProd, dtsArvProd, dbgProduto, &F::dtsArvProdStateChange, &F::cdsArvProdAfterInsert,
         &F::cdsArvProdBeforePost, &F::cdsArvProdAfterPost, &F::cdsArvProdAfterCancel,
         &F::cdsArvProdAfterDelete, &F::dbgProdutoColExit, &F::dbgProdutoColEnter,
         &F::dbgProdutoEditButtonClick, &F::dbgProdutoExit, &F::dbgProdutoEnter,
         &F::dbgProdutoDblClick, &F::dbgProdutoKeyDown, &F::dbgProdutoDrawColumnCell},
        {cdsProdRelac, dtsProdRelac, dbgProdRelac, &F::dtsProdRelacStateChange,
         &F::cdsProdRelacAfterInsert, &F::cdsProdRelacBeforePost, &F::cdsProdRelacAfterPost,
         &F::cdsProdRelacAfterCancel, &F::cdsProdRelacAfterDelete, &F::dbgProdRelacColExit,
         &F::dbgProdRelacColEnter, &F::dbgProdRelacEditButtonClick, &F::dbgProdRelacExit,
         &F::dbgProdRelacEnter, &F::dbgProdRelacDblClick, &F::dbgProdRelacKeyDown,
         &F::dbgProdRelacDrawColumnCell},
    };
    for (const Family& f : families) {
        f.dts.OnStateChange = source(f.stateChange);
        f.cds.AfterInsert = cds(f.afterInsert);
        f.cds.BeforePost = cds(f.beforePost);
        f.cds.AfterPost = cds(f.afterPost);
        f.cds.AfterCancel = cds(f.afterCancel);
        f.cds.AfterDelete = cds(f.afterDelete);
        f.grid->OnColExit = grid(f.colExit);
        f.grid->OnColEnter = grid(f.colEnter);
        f.grid->OnEditButtonClick = grid(f.editButton);
        f.grid->OnExit = grid(f.exit);
        f.grid->OnEnter = grid(f.enter);
        f.grid->OnDblClick = grid(f.dblClick);
        f.grid->OnKeyDown = [this, h = f.keyDown](QObject* sender, int& key, TShiftState shift) {
            (this->*h)(sender, key, shift);
        };
        f.grid->OnDrawColumnCell = [this, h = f.drawCell](QObject* sender, const QRect& rect,
                                                          int dataCol, TColumn& column,
                                                          TGridDrawState state) {
            (this->*h)(sender, rect, dataCol, column, state);
        };
    }
}
