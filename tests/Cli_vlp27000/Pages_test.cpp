// Turning between the pages as the user does, and the lists read on the way: main products on
// every turn to "Produto", related products on every move, groups again only when empty.
#include <QTest>

#include "framework/BusyAnimation.h"
#include "ScreenButtons.h"
#include "ScreenFixture.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

class Pages : public ScreenTest {
  protected:
    void SetUp() override {
        ScreenTest::SetUp();
        fake.on("GetArvProd").answerPacket(MainProductsPacket(3));
        fake.on("GetProdRelac").answerPacket(RelatedPacket(2));
        GroupLookUpsFindNothing();
    }
    static bool TurnTo(TfrmSugestaoProd& f, TTabSheet* page) {
        return f.pgcPadrao->TurnTo(f.pgcPadrao->indexOf(page));
    }
};

TEST_F(Pages, TurningToProdutoReadsMainThenRelatedProductsAndFocusesTheMainGrid) {
    struct Case {
        int mainProducts;
        const char* calls;
        const char* buttons;
    } cases[] = {
        {3, R"(GetArvProd("0000000001") GetProdRelac("0000000001", "P1"))", kBrowseWithRows},
        {0, R"(GetArvProd("0000000001") GetProdRelac("0000000001", ""))", kBrowseEmpty},
    };
    for (const Case& c : cases) {
        fake.on("GetArvProd").answerPacket(MainProductsPacket(c.mainProducts));
        TfrmSugestaoProd& f = OpenOnGroups();
        ASSERT_TRUE(TurnTo(f, f.tshProduto));
        EXPECT_EQ(Calls(), c.calls);
        EXPECT_EQ(f.ActiveControl(), f.dbgProduto);
        EXPECT_EQ(Buttons(f), c.buttons);
        EXPECT_EQ(f.cdsProdRelac.RecordCount(), 2);
        EXPECT_FALSE(AviShowing());
        fake.clearCalls();  // every turn reads again, also for the same group
        ASSERT_TRUE(TurnTo(f, f.tshPadrao));
        ASSERT_TRUE(TurnTo(f, f.tshProduto));
        EXPECT_EQ(Calls(), c.calls);
        CloseScreen();
    }
}

TEST_F(Pages, BackToGrupoReadsTheGroupsOnlyWhenTheListIsEmpty) {
    for (int groups : {3, 0}) {
        TfrmSugestaoProd& f = OpenOnGroups();
        f.cdsGrupSegProd.MoveTo(1);
        ASSERT_TRUE(TurnTo(f, f.tshProduto));
        if (groups == 0) f.cdsGrupSegProd.SetData(GroupsPacket(0));
        fake.clearCalls();
        ASSERT_TRUE(TurnTo(f, f.tshPadrao));
        EXPECT_EQ(Calls(), groups ? "" : "GetGrupSegProd()");
        EXPECT_EQ(f.ActiveControl(), f.dbgPadrao);
        EXPECT_EQ(f.cdsGrupSegProd.RecNo(), groups ? 1 : 0);
        EXPECT_EQ(Buttons(f), kBrowseWithRows);
        CloseScreen();
    }
}

TEST_F(Pages, EveryMoveReadsTheRelatedProductsOfTheRowMovedTo) {
    TfrmSugestaoProd& f = OpenOnGroups();
    ASSERT_TRUE(TurnTo(f, f.tshProduto));
    fake.clearCalls();
    QTest::keyClick(f.dbgProduto, Qt::Key_Down);
    QTest::keyClick(f.dbgProduto, Qt::Key_Down);
    EXPECT_EQ(Calls(),
              R"(GetProdRelac("0000000001", "P2") GetProdRelac("0000000001", "P3"))");

    // Another group while on "Produto": its code with the old main product; the main list stays.
    fake.clearCalls();
    f.cdsGrupSegProd.MoveTo(1);
    EXPECT_EQ(Calls(), R"(GetProdRelac("0000000002", "P3"))");
    EXPECT_EQ(f.cdsArvProd.RecordCount(), 3);
}

// The turn does not happen: the main products of another group must not stand editable here.
TEST_F(Pages, AFailedReadOfTheMainProductsTurnsBackToGrupo) {
    TfrmSugestaoProd& f = OpenOnGroups();
    ASSERT_TRUE(TurnTo(f, f.tshProduto));
    ASSERT_TRUE(TurnTo(f, f.tshPadrao));
    fake.on("GetArvProd").fail(-32000, "Servidor ocupado.");
    fake.clearCalls();
    f.cdsGrupSegProd.MoveTo(2);
    TurnTo(f, f.tshProduto);
    EXPECT_EQ(dialogs.Last(), "MessageDlg 1: Servidor ocupado.");
    EXPECT_EQ(Calls(), R"(GetArvProd("0000000003"))");
    EXPECT_EQ(f.cdsArvProd.RecordCount(), 3);  // the main products read before
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(f.pgcPadrao->ActivePage(), f.tshPadrao);
    EXPECT_EQ(f.ActiveControl(), f.dbgPadrao);
    EXPECT_TRUE(f.sbtIncluir->isEnabled() && f.sbtAlterar->isEnabled());  // the groups' buttons
}

TEST_F(Pages, AGroupBeingEditedIsPostedBeforeTheTurnAndARefusalKeepsThePage) {
    TfrmSugestaoProd& f = OpenOnGroups();
    f.sbtAlterar->click();
    f.cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").SetAsString("");
    EXPECT_FALSE(TurnTo(f, f.tshProduto));
    EXPECT_EQ(f.pgcPadrao->ActivePage(), f.tshPadrao);
    EXPECT_EQ(dialogs.Last(), "MessageDlg 1: Nome deve ser informado.");
    EXPECT_EQ(f.ActiveControl(), f.dbgPadrao);
    EXPECT_EQ(f.dbgPadrao->SelectedField()->FieldName(), "NMGRUSUGESPROD");
    EXPECT_EQ(f.cdsGrupSegProd.State(), TDataSetState::dsEdit);
    EXPECT_EQ(Calls(), "");

    f.cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").SetAsString("Renomeado");
    EXPECT_TRUE(TurnTo(f, f.tshProduto));
    EXPECT_EQ(Calls(), R"(GetNmGrupo("Renomeado") SetGrupSegProd(log) )"
                       R"(GetArvProd("0000000001") GetProdRelac("0000000001", "P1"))");
    EXPECT_EQ(f.pgcPadrao->ActivePage(), f.tshProduto);
}

}  // namespace
