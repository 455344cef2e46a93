#include "Cli_vlp27000/TfrmSugestaoProd.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QToolButton>

#include "declarations/CheckImages.h"
#include "Cli_vlp27000/Cli_vlp27000.h"
#include "declarations/GridDefs.h"
#include "declarations/MessageCatalogue.h"
#include "declarations/RecordSetDefs.h"
#include "declarations/ScreenLayout.h"
#include "controls/TDBGrid.h"
#include "framework/TDBText.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"
#include "wire/RemoteModule.h"

namespace {

TfrmSugestaoProd::TTransportFactory& TransportFactory() {
    static TfrmSugestaoProd::TTransportFactory factory;
    return factory;
}

std::unique_ptr<RpcTransport> MakeTransport() {
    return TransportFactory() ? TransportFactory()() : nullptr;
}

std::vector<TFieldDef> FieldsOf(const char* name) { return declarations::RecordSetDef(name).Fields; }

TDBGridOptions ToGridOptions(unsigned bits) {
    static const std::pair<declarations::TGridOption, TDBGridOption> map[] = {
        {declarations::goEditing, dgEditing},
        {declarations::goTitles, dgTitles},
        {declarations::goColumnResize, dgColumnResize},
        {declarations::goColLines, dgColLines},
        {declarations::goRowLines, dgRowLines},
        {declarations::goTabs, dgTabs},
        {declarations::goAlwaysShowSelection, dgAlwaysShowSelection},
        {declarations::goConfirmDelete, dgConfirmDelete},
        {declarations::goCancelOnExit, dgCancelOnExit},
    };
    TDBGridOptions options;
    for (const auto& [bit, option] : map)
        if (bits & bit) options.insert(option);
    return options;
}

void ApplyGridDef(TDBGrid& grid, const declarations::TGridDef& def) {
    grid.setObjectName(QString::fromStdString(def.Name));
    grid.Columns().Clear();
    for (const declarations::TColumnDef& column : def.Columns)
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
      imgCheck(declarations::CheckImage()),
      imgUnCheck(declarations::UnCheckImage()),
      NetSugProd(MakeTransport()),
      m_mainProducts(MainProductFamily()),
      m_relatedProducts(RelatedProductFamily()) {
    setObjectName("frmSugestaoProd");
    SetCaption(declarations::layout::kCaption);
    resize(declarations::layout::kWidth, declarations::layout::kHeight);
    lblCodTela->setText(declarations::layout::kScreenCode);
    sbtImprimir->setEnabled(false);
    mnuImprimir->setEnabled(false);

    msgPadrao.SetItems(declarations::ScreenMessages());

    pgcPadrao->resize(declarations::layout::kPageControlWidth, declarations::layout::kPageControlHeight);
    tshPadrao->SetCaption(declarations::layout::kGroupPageCaption);
    BuildProductPage();
    BindComponents();
    AddRecordCommands();
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
    return QSize(declarations::layout::kWidth, declarations::layout::kHeight);
}

void TfrmSugestaoProd::SetTransportFactory(TTransportFactory factory) {
    TransportFactory() = std::move(factory);
}

void TfrmSugestaoProd::BuildProductPage() {
    tshProduto = new TTabSheet(pgcPadrao, declarations::layout::kProductPageCaption);
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
    splProduto->setHandleWidth(declarations::layout::kSplitterWidth);
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
    const int rest = declarations::layout::kPageControlWidth - declarations::layout::kMainGridWidth -
                     declarations::layout::kSplitterWidth;
    splProduto->setSizes({declarations::layout::kMainGridWidth, rest});
}

void TfrmSugestaoProd::BindComponents() {
    dtsPadrao.SetDataSet(&cdsGrupSegProd);
    dbgPadrao->SetDataSource(&dtsPadrao);
    dbgProduto->SetDataSource(&dtsArvProd);
    dbgProdRelac->SetDataSource(&dtsProdRelac);
    ApplyGridDef(*dbgPadrao, declarations::GridDef("dbgPadrao"));
    ApplyGridDef(*dbgProduto, declarations::GridDef("dbgProduto"));
    ApplyGridDef(*dbgProdRelac, declarations::GridDef("dbgProdRelac"));
    dbtNome->SetDataSource(&dtsPadrao);
    dbtNome->SetDataField(declarations::layout::kNavigatorField);

    NetSugProd.ServerName = wire::kModuleName;
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
    for (const TProductFamily* family : ProductFamilies()) BindProductFamily(*family);
}
