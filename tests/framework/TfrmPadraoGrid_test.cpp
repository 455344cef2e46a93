// The base grid form: creation through the application object, standard commands, closing.
#include "framework/TfrmPadraoGrid.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "framework/BusyAnimation.h"
#include "framework/EAbort.h"
#include "support/FakeAppServer.h"
#include "support/TestDataSets.h"
#include "framework/TApplication.h"
#include "controls/TDBGrid.h"
#include "dataaccess/TNetConnection.h"
#include "framework/TPageControl.h"
#include "support/TScriptedDialogs.h"
#include "framework/TTabSheet.h"

namespace {

// A screen as a module would write one: its own record set, handlers that record and may fail.
class TfrmTeste : public TfrmPadraoGrid {
  public:
    // Shared, so that a test can read it after the form is gone.
    std::shared_ptr<TClientDataSet> cds = MakeProducts({{"1", "1", "Um"}, {"2", "2", "Dois"}});
    TDataSource dtsOutro;
    std::string log;
    static inline std::string createFailure;  // "abort", a message, or "" to succeed
    TCloseAction closeAs = caFree;

    void FormCreate(QObject* sender) override {
        log += "create ";
        dtsPadrao.SetDataSet(cds.get());
        TfrmPadraoGrid::FormCreate(sender);
        if (createFailure == "abort") throw EAbort();
        if (!createFailure.empty()) throw std::runtime_error(createFailure);
        log += "created ";
    }
    void FormClose(QObject* sender, TCloseAction& action) override {
        log += "close ";
        TfrmPadraoGrid::FormClose(sender, action);
        action = closeAs;
    }
};

class TfrmPadraoGridTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window.setCentralWidget(mdi);
        window.resize(1300, 700);
        window.show();
        Application().SetMainForm(&window, mdi);
        TfrmTeste::createFailure.clear();
    }
    void TearDown() override {
        mdi->closeAllSubWindows();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Application().SetMainForm(nullptr, nullptr);
    }
    TfrmTeste* Open() {
        TfrmTeste* form = nullptr;
        Application().CreateForm(form);
        form->Show();
        QApplication::processEvents();
        return form;
    }
    std::string Enabled(TfrmPadraoGrid& f) {
        std::string out;
        for (QToolButton* b : {f.sbtIncluir, f.sbtAlterar, f.sbtExcluir, f.sbtConfirmar,
                               f.sbtCancelar, f.sbtProcurar, f.sbtVerificar, f.sbtImprimir})
            out += b->isEnabled() ? '1' : '0';
        return out;
    }

    TScriptedDialogs dialogs;
    QMainWindow window;
    QMdiArea* mdi = new QMdiArea;
};

TEST_F(TfrmPadraoGridTest, CreatedInTheMdiAreaWithTheFocusInTheGridAndCommandsSet) {
    TfrmTeste* form = Open();
    EXPECT_EQ(form->log, "create created ");
    ASSERT_NE(form->SubWindow(), nullptr);
    EXPECT_EQ(form->SubWindow()->mdiArea(), mdi);
    EXPECT_EQ(form->ActiveControl(), form->dbgPadrao);
    EXPECT_EQ(Enabled(*form), "11100110");
    EXPECT_EQ(form->msgPadrao.Msg("Canc"), "Cancela as alterações?");
}

TEST_F(TfrmPadraoGridTest, AnErrorLeavingFormCreateIsReportedAndCreationCompletes) {
    TfrmTeste::createFailure = "Servidor fora do ar.";
    TfrmTeste* form = Open();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->log, "create ");
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"Error: Servidor fora do ar."});
    TfrmTeste::createFailure = "abort";
    Open();
    EXPECT_EQ(dialogs.Log.size(), 1u);  // a silent abort shows nothing
}

TEST_F(TfrmPadraoGridTest, IncludeConfirmAndCancelFollowTheRecordSet) {
    TfrmTeste* form = Open();
    QTest::mouseClick(form->sbtIncluir, Qt::LeftButton);
    EXPECT_EQ(form->cds->State(), TDataSetState::dsInsert);
    EXPECT_EQ(form->ActiveControl(), form->dbgPadrao);  // buttons take no focus
    EXPECT_EQ(form->dbgPadrao->SelectedIndex(), 0);
    EXPECT_EQ(Enabled(*form), "00011000");
    form->cds->FieldByName("CDARVPROD").SetAsString("3");
    QTest::keyClick(form->dbgPadrao, Qt::Key_F10);  // confirm by its shortcut
    EXPECT_EQ(form->cds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(form->cds->RecordCount(), 3);
    EXPECT_EQ(Enabled(*form), "11100110");

    QTest::mouseClick(form->sbtAlterar, Qt::LeftButton);
    dialogs.QueueAnswer(mrNo);
    QTest::mouseClick(form->sbtCancelar, Qt::LeftButton);
    EXPECT_EQ(form->cds->State(), TDataSetState::dsEdit);
    QTest::mouseClick(form->sbtCancelar, Qt::LeftButton);
    EXPECT_EQ(form->cds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(dialogs.Count("MessageDlg 3: Cancela as alterações?"), 2);
}

TEST_F(TfrmPadraoGridTest, ACommandTakesWhatIsTypedInTheOpenCell) {
    TfrmTeste* form = Open();
    QTest::keyClicks(form->dbgPadrao, "9");
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, form->dbgPadrao);
    QTest::keyClicks(editor, "8");
    QTest::mouseClick(form->sbtConfirmar, Qt::LeftButton);
    EXPECT_EQ(form->cds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(form->cds->FieldByName("CDARVPROD").AsString(), "98");
}

TEST_F(TfrmPadraoGridTest, TurningToAnotherScreenIsNotLeavingTheGrid) {
    TfrmTeste* first = Open();
    int exits = 0;
    first->dbgPadrao->OnExit = [&](QObject*) { ++exits; };
    TfrmTeste* second = Open();
    second->dbgPadrao->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(first->ActiveControl(), first->dbgPadrao);  // remembered for its return
    first->Show();
    first->dbgPadrao->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(exits, 0);
}

TEST_F(TfrmPadraoGridTest, DeleteAsksTheStandardQuestionFirst) {
    TfrmTeste* form = Open();
    dialogs.QueueAnswer(mrNo);
    QTest::mouseClick(form->sbtExcluir, Qt::LeftButton);
    EXPECT_EQ(form->cds->RecordCount(), 2);
    QTest::mouseClick(form->sbtExcluir, Qt::LeftButton);
    EXPECT_EQ(form->cds->RecordCount(), 1);
    EXPECT_EQ(dialogs.Count("MessageDlg 3: Confirma exclusão?"), 2);
}

TEST_F(TfrmPadraoGridTest, ARefusedPostIsReportedAndTheRowStaysInEdit) {
    TfrmTeste* form = Open();
    form->cds->BeforePost = [](TClientDataSet&) {
        throw std::runtime_error("Nome já cadastrado.");
    };
    form->cds->Edit();
    QTest::mouseClick(form->sbtConfirmar, Qt::LeftButton);
    EXPECT_EQ(form->cds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(dialogs.Last(), "Error: Nome já cadastrado.");
}

TEST_F(TfrmPadraoGridTest, ClosingRunsFormCloseAndReleasesTheWindow) {
    TfrmTeste* form = Open();
    QPointer<QMdiSubWindow> sub = form->SubWindow();
    form->closeAs = caNone;
    form->Close();
    EXPECT_TRUE(sub && sub->isVisible());
    form->closeAs = caFree;
    form->Close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
    EXPECT_TRUE(mdi->subWindowList().isEmpty());
}

TEST_F(TfrmPadraoGridTest, ACloseAskedWhileACallWaitsIsCarriedOutOnceTheCallReturns) {
    TfrmTeste* form = Open();
    QPointer<QMdiSubWindow> sub = form->SubWindow();
    FakeAppServer fake;
    fake.on("GetGrupSegProd").answerPacket("").delay(std::chrono::milliseconds(300));
    TNetConnection net(fake.transport());
    net.ServerName = FakeAppServer::kModule;
    net.Port = 8427;
    net.SetConnected(true);
    InstallWaitPump();
    QTimer::singleShot(50, form, [form] { form->Close(); });

    TServerAnswer answer = net.AppServer().Call("GetGrupSegProd", {});
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_TRUE(answer.Ok);
    ASSERT_FALSE(sub.isNull()) << "freed under the call that was waiting";
    EXPECT_EQ(form->log.find("close"), std::string::npos);
    for (int i = 0; i < 50 && sub; ++i) {
        QTest::qWait(10);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(sub.isNull()) << "the user's close was forgotten";
    TNetConnection::SetWaitPump(nullptr);
}

// A close never drops a changed row without asking; a refused post keeps the form.
TEST_F(TfrmPadraoGridTest, ClosingWithAChangedRowAsksWhetherToSaveIt) {
    struct Case {
        const char* typed;  // into the name cell; "" leaves the row unchanged
        int answer;
        bool refusePost;
        const char* dialogs;
        const char* names;  // the record set's names afterwards
        bool closed;
    } cases[] = {
        {"", mrYes, false, "", "Um,Dois", true},
        {"Uno", mrYes, false, "MessageDlg 3: Grava as alterações?", "Uno,Dois", true},
        {"Uno", mrNo, false, "MessageDlg 3: Grava as alterações?", "Um,Dois", true},
        {"Uno", mrCancel, false, "MessageDlg 3: Grava as alterações?", "Uno,Dois", false},
        {"Uno", mrYes, true, "MessageDlg 3: Grava as alterações?|Error: Nome já cadastrado.",
         "Uno,Dois", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " answer " + std::to_string(c.answer));
        TfrmTeste* form = Open();
        QPointer<QMdiSubWindow> sub = form->SubWindow();
        std::shared_ptr<TClientDataSet> records = form->cds;
        if (c.refusePost)
            records->BeforePost = [](TClientDataSet&) {
                throw std::runtime_error("Nome já cadastrado.");
            };
        form->dbgPadrao->setFocus();
        form->dbgPadrao->SetSelectedIndex(1);
        for (QChar ch : QString::fromUtf8(c.typed))  // the cell stays open: the close writes it
            QTest::keyClicks(QApplication::focusWidget(), QString(ch));
        dialogs.Clear();
        if (*c.typed) dialogs.QueueAnswer(c.answer);
        form->Close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        std::string shown;
        for (const std::string& line : dialogs.Log) shown += (shown.empty() ? "" : "|") + line;
        EXPECT_EQ(shown, c.dialogs);
        EXPECT_EQ(Column(*records, 2), c.names);
        EXPECT_EQ(sub.isNull(), c.closed);
        if (sub) {
            records->BeforePost = nullptr;
            dialogs.QueueAnswer(mrNo);
            form->Close();
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
}

TEST_F(TfrmPadraoGridTest, WindowStateAndShowBringTheFormBackToNormal) {
    TfrmTeste* form = Open();
    form->SetWindowState(wsMaximized);
    EXPECT_EQ(form->WindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    EXPECT_EQ(form->WindowState(), wsNormal);
}

TEST(TPageControlTest, OnChangeRunsOnlyWhenTheUserTurnsThePage) {
    TPageControl pages;
    auto* first = new TTabSheet(&pages, "Grupo");
    auto* second = new TTabSheet(&pages, "Produto");
    int changes = 0;
    pages.OnChange = [&](QObject*) { ++changes; };
    pages.show();
    pages.SetActivePage(second);
    pages.SetActivePage(first);
    EXPECT_EQ(changes, 0);
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(1).center());
    EXPECT_EQ(pages.ActivePage(), second);
    EXPECT_EQ(changes, 1);
    auto* grid = new TDBGrid(second);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_PageDown, Qt::ControlModifier);  // from inside a page
    EXPECT_EQ(pages.ActivePage(), first);
    EXPECT_EQ(changes, 2);
    first->SetEnabled(false);  // Qt moves away from the disabled page: not the user's turn
    EXPECT_EQ(pages.ActivePage(), second);
    EXPECT_EQ(changes, 2);
    QTest::keyClick(pages.currentWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(pages.ActivePage(), second);  // the only enabled page left
    first->SetEnabled(true);
    QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(pages.ActivePage(), first);
    EXPECT_EQ(changes, 3);
    QTest::keyClick(pages.tabBar(), Qt::Key_Right);  // arrows on the tab bar
    EXPECT_EQ(pages.ActivePage(), second);
    EXPECT_EQ(changes, 4);
    first->SetEnabled(false);
    EXPECT_FALSE(first->Enabled());
    QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {}, pages.tabBar()->tabRect(0).center());
    EXPECT_EQ(pages.ActivePage(), second);  // a disabled page cannot be chosen
    EXPECT_EQ(changes, 4);
    first->SetEnabled(true);
    // A handler that turns back itself (its read failed) is the program choosing: no second run.
    pages.OnChange = [&](QObject*) {
        ++changes;
        pages.SetActivePage(second);
    };
    QTest::keyClick(grid, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(pages.ActivePage(), second);
    EXPECT_EQ(changes, 5);
}

TEST(TPageControlTest, ATurnLeavesTheFocusedGridWhileItsPageIsActiveAndARefusalKeepsThePage) {
    for (bool refuse : {true, false}) {
        TPageControl pages;
        auto* first = new TTabSheet(&pages, "Grupo");
        auto* second = new TTabSheet(&pages, "Produto");
        auto* grid = new TDBGrid(first);
        int changes = 0;
        std::string exitSaw;
        pages.OnChange = [&](QObject*) { ++changes; };
        grid->OnExit = [&](QObject*) {
            exitSaw = pages.ActivePage() == first ? "Grupo" : "Produto";
            if (refuse) throw EAbort();
        };
        pages.show();
        pages.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&pages));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(exitSaw, "Grupo") << refuse;
        EXPECT_EQ(pages.ActivePage(), refuse ? first : second) << refuse;
        EXPECT_EQ(changes, refuse ? 0 : 1) << refuse;
        EXPECT_EQ(grid->hasFocus(), refuse) << refuse;
    }
}

}  // namespace
