#include <QLabel>
#include <QToolButton>

#include "ScreenFixture.h"
#include "framework/TDBText.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

using Cli_vlp27000::boIdCriado;
using Cli_vlp27000::frmSugestaoProd;

class Lifecycle : public ScreenTest {};

TEST_F(Lifecycle, OpensConnectedOnPageGrupoWithAllGroupsRead) {
    TfrmSugestaoProd& form = Open();
    EXPECT_TRUE(boIdCriado);
    EXPECT_EQ(form.Caption(), "Sugestão de Produtos");
    EXPECT_EQ(form.lblCodTela->text(), "VLP27000");
    EXPECT_TRUE(form.NetSugProd.Connected());
    EXPECT_EQ(form.NetSugProd.ServerName, "VLP27000.rdmSugestaoProd");
    EXPECT_FALSE(form.NetSugProd.ThrowException);
    EXPECT_EQ(fake.callLog(), "GetGrupSegProd()\n");
    EXPECT_EQ(form.cdsGrupSegProd.RecordCount(), 3);
    EXPECT_EQ(form.pgcPadrao->ActivePage(), form.tshPadrao);
    EXPECT_EQ(form.tshPadrao->Caption(), "Grupo");
    EXPECT_EQ(form.tshProduto->Caption(), "Produto");
    EXPECT_EQ(form.dbtNome->text(), "Grupo 1");
    EXPECT_FALSE(form.sbtImprimir->isEnabled());
    EXPECT_FALSE(AviShowing());
    EXPECT_EQ(Application().Cursor(), crDefault);
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(Lifecycle, ProductCodeFieldsTakeTheTreeMaskAndTheGroupCodeIsMarked) {
    THostConfig config;
    config.Pictures[0] = "9.99.999.9999;_";
    Application().SetConfig(config);
    TfrmSugestaoProd& form = Open();
    EXPECT_EQ(form.cdsProdRelac.FieldByName("CDARVPRODRELAC").EditMask, "9.99.999.9999;_");
    EXPECT_EQ(form.cdsArvProd.FieldByName("CDARVPROD").EditMask, "9.99.999.9999;_");
    EXPECT_EQ(form.cdsPesqProd.FieldByName("CDARVPROD").EditMask, "9.99.999.9999;_");
    EXPECT_EQ(form.cdsPesqProd.FieldByName("CDPRODUTO").EditMask, "9.99.999.9999;_");
    EXPECT_EQ(form.cdsPesqProdPrinc.FieldByName("CDARVPROD").EditMask, "9.99.999.9999;_");
    EXPECT_EQ(form.cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").Tag, 1);
    EXPECT_EQ(form.cdsArvProd.FieldByName("CDPRODUTO").EditMask, "");
}

TEST_F(Lifecycle, OpeningAgainBringsTheSameScreenBackWithoutCallingTheServer) {
    TfrmSugestaoProd& form = Open();
    form.cdsGrupSegProd.MoveTo(2);
    form.SetWindowState(wsMinimized);
    Application().SetCursor(crHourGlass);
    const int connects = fake.connectCount();
    fake.clearCalls();

    TfrmSugestaoProd& again = Open();
    EXPECT_EQ(&again, &form);
    EXPECT_EQ(fake.callLog(), "");
    EXPECT_EQ(fake.connectCount(), connects);
    EXPECT_EQ(form.cdsGrupSegProd.RecNo(), 2);
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_EQ(Application().Cursor(), crDefault);

    form.SetWindowState(wsMaximized);
    IniProc();
    EXPECT_EQ(form.WindowState(), wsNormal);
    EXPECT_EQ(fake.callLog(), "");
}

TEST_F(Lifecycle, ClosingDisconnectsClearsTheFlagAndReleasesTheWindow) {
    TfrmSugestaoProd& form = Open();
    TCloseAction action = caNone;
    form.FormClose(&form, action);
    EXPECT_FALSE(form.NetSugProd.Connected());
    EXPECT_FALSE(boIdCriado);
    EXPECT_EQ(action, caFree);  // the base form's closing ran after ours

    QPointer<TfrmSugestaoProd> guard(&form);
    form.Close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    EXPECT_FALSE(boIdCriado);
}

TEST_F(Lifecycle, ReopeningConnectsAgainAndReadsHostAndPortAgain) {
    TfrmSugestaoProd::SetTransportFactory(nullptr);  // real HTTP over loopback
    FakeAppServer first, second;
    first.on("GetGrupSegProd").answerPacket(GroupsPacket(1));
    second.on("GetGrupSegProd").answerPacket(GroupsPacket(2));
    THostConfig config;
    config.WebURL = "127.0.0.1";
    config.WebPort = first.listen();
    Application().SetConfig(config);
    EXPECT_EQ(Open().cdsGrupSegProd.RecordCount(), 1);
    CloseScreen();

    config.WebPort = second.listen();
    Application().SetConfig(config);
    TfrmSugestaoProd& form = Open();
    EXPECT_EQ(form.NetSugProd.Port, config.WebPort);
    EXPECT_EQ(form.cdsGrupSegProd.RecordCount(), 2);
    EXPECT_EQ(first.callsTo("GetGrupSegProd").size(), 1u);
    EXPECT_EQ(second.callsTo("GetGrupSegProd").size(), 1u);
    CloseScreen();
}

TEST_F(Lifecycle, UnreachableServerIsReportedAndTheScreenOpensWithoutGroups) {
    fake.refuseConnections(true);
    TfrmSugestaoProd& form = Open();
    EXPECT_EQ(dialogs.Count("Error: "), 1);
    EXPECT_FALSE(AviShowing());
    EXPECT_TRUE(boIdCriado);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(fake.callLog(), "");
    EXPECT_TRUE(form.cdsGrupSegProd.IsEmpty());
    EXPECT_EQ(Application().Cursor(), crDefault);

    CloseScreen();  // and the user may retry
    fake.refuseConnections(false);
    dialogs.Clear();
    EXPECT_EQ(Open().cdsGrupSegProd.RecordCount(), 3);
    EXPECT_EQ(dialogs.Count("Error: "), 0);
}

TEST_F(Lifecycle, RefusedGroupReadShowsTheServerMessageOnceAndHidesTheAnimation) {
    fake.on("GetGrupSegProd").fail(-32000, "Banco de dados indisponível.");
    TfrmSugestaoProd& form = Open();
    ASSERT_EQ(dialogs.Log.size(), 1u);
    EXPECT_TRUE(dialogs.Last().ends_with(": Banco de dados indisponível.")) << dialogs.Last();
    EXPECT_FALSE(AviShowing());
    EXPECT_TRUE(form.NetSugProd.Connected());
    EXPECT_TRUE(form.cdsGrupSegProd.IsEmpty());
}

TEST_F(Lifecycle, FailedConstructionTravelsOnWithoutAScreenOrAStuckCursor) {
    TfrmSugestaoProd::SetTransportFactory(
        []() -> std::unique_ptr<RpcTransport> { throw std::runtime_error("sem memória"); });
    EXPECT_THROW(Cli_vlp27000::CriaSugestaoProd(), std::runtime_error);
    EXPECT_FALSE(boIdCriado);
    EXPECT_EQ(frmSugestaoProd, nullptr);
    EXPECT_EQ(Application().Cursor(), crDefault);
}

TEST_F(Lifecycle, ScreenReleasedWithoutClosingIsNotReusedAfterwards) {
    delete &Open();  // as when the host tears its windows down
    EXPECT_FALSE(boIdCriado);
    fake.clearCalls();
    EXPECT_TRUE(Open().isVisible());
    EXPECT_EQ(fake.callLog(), "GetGrupSegProd()\n");
}

TEST_F(Lifecycle, CatalogueAnswersScreenAndStandardKeys) {
    TfrmSugestaoProd& form = Open();
    EXPECT_EQ(form.msgPadrao.Msg("Prod_Cad"), "Produto já cadastrado.");
    EXPECT_EQ(form.msgPadrao.Msg("Excl"), "Confirma exclusão?");
    for (const char* key : {"verificando", "Atualizando", "Atualiza"})
        EXPECT_NE(form.msgPadrao.Msg(key), key) << key;
    EXPECT_NE(form.msgMensagensPadroes.Msg("Canc"), "Canc");
}

TEST_F(Lifecycle, ModuleStartUpClearsTheFlagAndShutDownEmptiesTheOperationCode) {
    Cli_vlp27000::stInsert = "I";
    Finalize();
    EXPECT_EQ(Cli_vlp27000::stInsert, "");
    boIdCriado = true;
    Cli_vlp27000::stInsert = "E";
    Initialize();
    EXPECT_FALSE(boIdCriado);
    EXPECT_EQ(Cli_vlp27000::stInsert, "");
}

}  // namespace
