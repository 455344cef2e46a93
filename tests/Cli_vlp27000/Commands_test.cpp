#include <QAction>
#include <QToolButton>

#include "ScreenButtons.h"
#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "framework/TDBText.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

class ControlaBotoes : public ScreenTest {
  protected:
    TfrmSugestaoProd& OpenOnProducts() {
        TfrmSugestaoProd& f = Open();
        f.pgcPadrao->SetActivePage(f.tshProduto);
        return f;
    }
    static void ClearFocus(TfrmSugestaoProd& f) {
        if (QWidget* w = f.window()->focusWidget()) w->clearFocus();
        QApplication::processEvents();
    }
    static void SetAll(TfrmSugestaoProd& f, bool enabled) {
        for (QAction* a : {f.mnuConfirmar, f.mnuCancelar, f.mnuIncluir, f.mnuAlterar, f.mnuExcluir,
                           f.mnuProcurar, f.mnuVerificar})
            a->setEnabled(enabled);
        for (QToolButton* b : {f.sbtConfirmar, f.sbtCancelar, f.sbtIncluir, f.sbtAlterar,
                               f.sbtExcluir, f.sbtProcurar, f.sbtVerificar})
            b->setEnabled(enabled);
    }
};

TEST_F(ControlaBotoes, GroupsFollowTheGroupRecordSetAndGateThePageProduto) {
    TfrmSugestaoProd& f = Open();
    ASSERT_TRUE(FocusOn(f, f.dbgPadrao));
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kBrowseWithRows);
    EXPECT_TRUE(f.tshProduto->Enabled());

    f.cdsGrupSegProd.Edit();
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kEditing);
    EXPECT_TRUE(f.tshProduto->Enabled());

    f.cdsGrupSegProd.Cancel();
    f.cdsGrupSegProd.SetData(GroupsPacket(0));
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kBrowseEmpty);
    EXPECT_FALSE(f.tshProduto->Enabled());

    f.cdsGrupSegProd.Insert();  // an inserting row counts as a row, but editing rules win
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kEditing);
    EXPECT_TRUE(f.tshProduto->Enabled());
}

TEST_F(ControlaBotoes, EmptyGroupListOpensWithOnlyIncludeAndPageProdutoDisabled) {
    fake.on("GetGrupSegProd").answerPacket(GroupsPacket(0));
    TfrmSugestaoProd& f = Open();
    ASSERT_EQ(f.ActiveControl(), f.dbgPadrao);
    EXPECT_EQ(Buttons(f), kBrowseEmpty);
    EXPECT_FALSE(f.tshProduto->Enabled());
    EXPECT_EQ(f.dbtNome->text(), "");
}

TEST_F(ControlaBotoes, MainProductsFollowTheirRecordSetAndLeaveThePageAlone) {
    TfrmSugestaoProd& f = OpenOnProducts();
    ASSERT_TRUE(FocusOn(f, f.dbgProduto));
    f.tshProduto->SetEnabled(true);

    f.Controla_Botoes();  // never loaded: inactive
    EXPECT_EQ(Buttons(f), kBrowseEmpty);

    f.cdsArvProd.SetData(MainProductsPacket(2));
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kBrowseWithRows);

    f.cdsArvProd.Edit();
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kEditing);
    EXPECT_TRUE(f.tshProduto->Enabled());
}

TEST_F(ControlaBotoes, RelatedProductsTakeOverWhenTheirGridHasTheFocus) {
    TfrmSugestaoProd& f = OpenOnProducts();
    f.cdsArvProd.SetData(MainProductsPacket(2));
    ASSERT_TRUE(FocusOn(f, f.dbgProduto));
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kBrowseWithRows);

    f.cdsProdRelac.Open();  // browse, no related products
    ASSERT_TRUE(FocusOn(f, f.dbgProdRelac));
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), kBrowseEmpty);
}

TEST_F(ControlaBotoes, DataSourceWithoutRecordSetDisablesSearchAndVerify) {
    TfrmSugestaoProd& f = OpenOnProducts();
    f.cdsArvProd.SetData(MainProductsPacket(1));
    f.dtsArvProd.SetDataSet(nullptr);
    ASSERT_TRUE(FocusOn(f, f.dbgProduto));
    f.Controla_Botoes();
    EXPECT_EQ(Buttons(f), "..IAE..");
}

TEST_F(ControlaBotoes, FocusOnNoGridOfThePageShownChangesNothing) {
    TfrmSugestaoProd& f = Open();
    f.cdsArvProd.SetData(MainProductsPacket(1));
    for (TTabSheet* page : {f.tshProduto, f.tshPadrao}) {
        f.pgcPadrao->SetActivePage(page);
        ClearFocus(f);
        ASSERT_EQ(f.ActiveControl(), nullptr);
        for (bool enabled : {true, false}) {
            SetAll(f, enabled);
            f.tshProduto->SetEnabled(enabled);
            f.Controla_Botoes();
            EXPECT_EQ(Buttons(f), enabled ? "CXIAEPV" : ".......");
            EXPECT_EQ(f.tshProduto->Enabled(), enabled);
        }
    }
}

}  // namespace
