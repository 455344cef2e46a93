#include <QFrame>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSplitter>

#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

class Layout : public ScreenTest {};

std::string Columns(TDBGrid& grid) {
    std::string s;
    for (const TColumn& c : grid.Columns()) s += c.FieldName + "=" + std::to_string(c.Width) + " ";
    return s;
}

TEST_F(Layout, GridsShowTheirRecordSetsThroughTheirColumns) {
    TfrmSugestaoProd& f = Open();
    EXPECT_EQ(f.dbgPadrao->DataSource(), &f.dtsPadrao);
    EXPECT_EQ(f.dtsPadrao.DataSet(), &f.cdsGrupSegProd);
    EXPECT_EQ(f.dbgProduto->DataSource(), &f.dtsArvProd);
    EXPECT_EQ(f.dtsArvProd.DataSet(), &f.cdsArvProd);
    EXPECT_EQ(f.dbgProdRelac->DataSource(), &f.dtsProdRelac);
    EXPECT_EQ(f.dtsProdRelac.DataSet(), &f.cdsProdRelac);
    EXPECT_EQ(f.dtsPesqProd.DataSet(), &f.cdsPesqProd);
    EXPECT_EQ(f.dtsPesqProdPrinc.DataSet(), &f.cdsPesqProdPrinc);

    EXPECT_EQ(Columns(*f.dbgPadrao), "CDGRUSUGESPROD=114 NMGRUSUGESPROD=0 NRORDEM=60 ");
    EXPECT_EQ(Columns(*f.dbgProduto),
              "CDARVPROD=120 NMPRODUTO=344 IDQUANTPRODPRINC=62 IDTOTALPRODPRINC=60 ");
    EXPECT_EQ(Columns(*f.dbgProdRelac),
              "CDARVPRODRELAC=0 NMPRODUTORELAC=290 IDQUANTPROD=68 IDTOTALPROD=61 ");
    const TDBGridOptions productOptions = {
        dgEditing,     dgTitles, dgColumnResize,        dgColLines,
        dgRowLines,    dgTabs,   dgAlwaysShowSelection, dgConfirmDelete,
        dgCancelOnExit};
    EXPECT_EQ(f.dbgProduto->Options, productOptions);
    EXPECT_EQ(f.dbgProdRelac->Options, productOptions);
    EXPECT_EQ(f.dbgProduto->frameShape(), QFrame::NoFrame);
}

TEST_F(Layout, ProductPageSplitsTheLoweredPanelBetweenBothGrids) {
    TfrmSugestaoProd& f = Open();
    EXPECT_EQ(f.size(), QSize(1203, 495));
    f.pgcPadrao->SetActivePage(f.tshProduto);
    QApplication::processEvents();
    EXPECT_EQ(f.panProduto->frameShadow(), QFrame::Sunken);
    EXPECT_EQ(f.splProduto->handleWidth(), 3);
    EXPECT_EQ(f.dbgProduto->width(), 609);
    EXPECT_GT(f.dbgProdRelac->width(), 0);
    EXPECT_EQ(f.dbgProdRelac->geometry().left(), 609 + 3);
}

TEST_F(Layout, InTheHostsMdiAreaTheChildWindowHoldsTheScreenAtDesignSize) {
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    main.resize(1600, 900);
    main.show();
    Application().SetMainForm(&main, area);
    TfrmSugestaoProd& f = Open();
    ASSERT_NE(f.SubWindow(), nullptr);
    EXPECT_EQ(f.SubWindow()->windowTitle(), "Sugestão de Produtos");
    EXPECT_EQ(f.size(), QSize(1203, 495));
    EXPECT_EQ(area->activeSubWindow(), f.SubWindow());
    CloseScreen();
    Application().SetMainForm(nullptr, nullptr);
}

TEST_F(Layout, CheckImagesAreTheSixteenPixelPictures) {
    TfrmSugestaoProd& f = Open();
    EXPECT_EQ(f.imgCheck.size(), QSize(16, 16));
    EXPECT_NE(f.imgCheck, f.imgUnCheck);
    EXPECT_EQ(QColor(f.imgCheck.pixel(3, 5)), QColor(255, 255, 255));
    EXPECT_EQ(QColor(f.imgCheck.pixel(10, 5)), QColor(0, 0, 0));
    EXPECT_EQ(QColor(f.imgUnCheck.pixel(10, 5)), QColor(255, 255, 255));
}

}  // namespace
