// Catalogues, error reporting through the dialog seam, and the small helpers screens use.
#include <gtest/gtest.h>

#include "framework/EAbort.h"
#include "framework/FrameworkUtils.h"
#include "framework/StdDialogs.h"
#include "framework/TApplication.h"
#include "controls/TDBGrid.h"
#include "framework/TMessages.h"
#include "dataaccess/TNetConnection.h"
#include "support/TScriptedDialogs.h"

namespace {

TEST(TMessagesTest, LooksUpKeysExactlyAndFallsBackToTheStandardCatalogue) {
    TMessages standard({"Canc|Cancela as alterações?", "verificando|Verificando..."});
    TMessages screen({"Excl|Confirma exclusão?", "Pipe|a|b", "semBarra", "Excl|segunda"});
    screen.SetFallback(&standard);
    EXPECT_EQ(screen.Msg("Excl"), "Confirma exclusão?");  // the first of repeated keys
    EXPECT_EQ(screen.Msg("Pipe"), "a|b");
    EXPECT_EQ(screen.Msg("verificando"), "Verificando...");
    EXPECT_EQ(screen.Msg("excl"), "excl");  // case matters; unknown keys show themselves
    EXPECT_FALSE(screen.Contains("semBarra"));
    EXPECT_EQ(standard.Msg("Excl"), "Excl");  // fallback is one way
}

TEST(TMessagesTest, TheStandardCatalogueHasTheTextsScreensAskFor) {
    const TMessages& s = TMessages::Standard();
    EXPECT_EQ(s.Msg("Canc"), "Cancela as alterações?");
    EXPECT_EQ(s.Msg("verificando"), "Verificando os registros no servidor...");
    EXPECT_EQ(s.Msg("Atualizando"), "Atualizando os registros no servidor...");
    EXPECT_EQ(s.Msg("Atualiza"), "Atualizando os registros no servidor...");
}

TEST(TMessagesTest, ShowMsgAsksThroughTheDialogsAndReturnsTheAnswer) {
    TScriptedDialogs dialogs;
    TMessages screen({"Excl|Confirma exclusão?"});
    dialogs.QueueAnswer(mrNo);
    EXPECT_EQ(screen.ShowMsg("Excl", mtConfirmation, {mbYes, mbNo}, 0), mrNo);
    EXPECT_EQ(screen.ShowMsg("Excl", mtConfirmation, {mbYes, mbNo}, 0), mrYes);
    EXPECT_EQ(dialogs.Log, (std::vector<std::string>{"MessageDlg 3: Confirma exclusão?",
                                                     "MessageDlg 3: Confirma exclusão?"}));
}

TEST(ErrorReportTest, MensErroShowsThenAbortsSilently) {
    TScriptedDialogs dialogs;
    EXPECT_THROW(MensErro("Código deve ser informado.", true), EAbort);
    EXPECT_NO_THROW(MensErro("só aviso", false));
    EXPECT_EQ(dialogs.Log, (std::vector<std::string>{"MessageDlg 1: Código deve ser informado.",
                                                     "MessageDlg 1: só aviso"}));
    ShowException(std::make_exception_ptr(EAbort()));
    EXPECT_EQ(dialogs.Log.size(), 2u);  // the abort is not reported again
}

TEST(ErrorReportTest, CheckResultServReturnsThePayloadOrShowsTheServersMessageAndAborts) {
    TScriptedDialogs dialogs;
    TServerAnswer ok;
    ok.Payload = "{\"rows\":[]}";
    EXPECT_EQ(CheckResultServ(ok, true, 0), "{\"rows\":[]}");
    TServerAnswer refused;
    refused.Ok = false;
    refused.ErrorCode = -32000;
    refused.ErrorMessage = "Grupo já cadastrado.";
    EXPECT_THROW(CheckResultServ(refused, true, 0), EAbort);
    EXPECT_EQ(CheckResultServ(refused, false, 0), "");
    refused.ErrorMessage.clear();
    EXPECT_THROW(CheckResultServ(refused, true, 0), EAbort);
    EXPECT_EQ(dialogs.Log.back(), "MessageDlg 1: O servidor recusou a operação (código -32000).");
    EXPECT_EQ(dialogs.Count("MessageDlg 1: Grupo já cadastrado."), 2);
}

TEST(ErrorReportTest, OtherErrorsGoToTheStandardErrorReport) {
    TScriptedDialogs dialogs;
    ShowException(std::make_exception_ptr(std::runtime_error("Conexão recusada.")));
    ShowException(std::make_exception_ptr(std::runtime_error("")));
    ShowException(std::make_exception_ptr(42));
    EXPECT_EQ(dialogs.Log, (std::vector<std::string>{"Error: Conexão recusada.",
                                                     "Error: Ocorreu um erro inesperado.",
                                                     "Error: Ocorreu um erro inesperado."}));
}

TEST(HelpersTest, AjustaZeroPadsDigitCodesAndBlankPadsOtherText) {
    EXPECT_EQ(Ajusta("12", 10), "0000000012");
    EXPECT_EQ(Ajusta("0000000012", 10), "0000000012");
    EXPECT_EQ(Ajusta("AB", 4), "AB  ");
    EXPECT_EQ(Ajusta("çã", 4), "çã  ");      // characters, not bytes
    EXPECT_EQ(Ajusta("12345", 3), "12345");  // never cut
    EXPECT_EQ(Ajusta("", 3), "   ");
}

TEST(HelpersTest, EmptyStringAndIndiceCol) {
    EXPECT_TRUE(EmptyString(""));
    EXPECT_FALSE(EmptyString(" "));
    TDBGrid grid;
    grid.Columns().Add("CDGRUSUGESPROD");
    grid.Columns().Add("NMGRUSUGESPROD");
    EXPECT_EQ(IndiceCol(grid, "NMGRUSUGESPROD"), 1);
    EXPECT_EQ(IndiceCol(grid, "nmgrusugesprod"), -1);
    EXPECT_EQ(IndiceCol(grid, "NRORDEM"), -1);
}

TEST(HelpersTest, ConfigurationIsReadThroughTheApplicationObject) {
    THostConfig saved = Application().Config();
    THostConfig config;
    config.WebURL = "servidor";
    config.WebPort = 9000;
    config.Pictures[0] = "9.99;_";
    Application().SetConfig(config);
    EXPECT_EQ(WebURL(), "servidor");
    EXPECT_EQ(WebPort(), 9000);
    EXPECT_EQ(DBPict(0), "9.99;_");
    EXPECT_EQ(DBPict(7), "");
    Application().SetConfig(saved);
}

}  // namespace
