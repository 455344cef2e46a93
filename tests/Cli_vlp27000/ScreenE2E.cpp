#include "ScreenE2E.h"

#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <iostream>
#include <utility>

#include "controls/TDBGrid.h"
#include "dataaccess/RpcTransport.h"
#include "framework/FrameworkUtils.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

std::string BackendName(const ::testing::TestParamInfo<TBackend>& info) {
    return info.param == TBackend::Sqlite ? "Sqlite" : "Postgres";
}

void ScreenE2E::SetUp() {
    ScreenTest::SetUp();
    // As in the host: the screen is a child window of the main window, which the busy animation
    // covers without taking the activation from the screen.
    host = std::make_unique<QMainWindow>();
    auto* area = new QMdiArea(host.get());
    host->setCentralWidget(area);
    host->resize(1600, 900);
    host->show();
    Application().SetMainForm(host.get(), area);
    if (GetParam() == TBackend::Postgres && RealServer::PostgresBase().empty())
        GTEST_SKIP() << "VLP_TEST_PG is not set";
    TfrmSugestaoProd::SetTransportFactory(nullptr);
    StartServer();
}

void ScreenE2E::StartServer() {
    other.reset();
    server.reset();
    server = std::make_unique<RealServer>(GetParam());
    ASSERT_GT(server->port(), 0) << "the application server did not start:\n" << server->output();
    THostConfig config;
    config.WebURL = "127.0.0.1";
    config.WebPort = server->port();
    Application().SetConfig(config);
    other = std::make_unique<OtherUserE2E>(server->port());
}

void ScreenE2E::TearDown() {
    ScreenTest::TearDown();
    Application().SetMainForm(nullptr, nullptr);
    host.reset();
    other.reset();
    // What the server logged tells which call went wrong.
    if (HasFailure() && server) std::cerr << server->output();
    server.reset();
}

TfrmSugestaoProd& ScreenE2E::OpenScreen() {
    TfrmSugestaoProd& form = Open();
    EXPECT_TRUE(FocusOn(form, form.dbgPadrao));
    return form;
}

// A click that takes the focus from a grid whose exit is refused could send the focus round
// for ever; past a few exits in one click the grids' exit handlers stand down, so that the test
// ends and fails instead of hanging.
void ScreenE2E::Click(QToolButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString() << " is disabled";
    constexpr int kMaxExits = 10;
    int exits = 0;
    std::vector<std::pair<QPointer<TDBGrid>, std::function<void(QObject*)>>> saved;
    for (TDBGrid* grid : button->window()->findChildren<TDBGrid*>()) {
        saved.emplace_back(grid, grid->OnExit);
        grid->OnExit = [&exits, original = grid->OnExit](QObject* sender) {
            if (++exits <= kMaxExits && original) original(sender);
        };
    }
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
    for (auto& [grid, handler] : saved)
        if (grid) grid->OnExit = handler;
    EXPECT_LE(exits, kMaxExits) << "a click on " << button->objectName().toStdString()
                                << " sent the focus round between a grid and its window";
}

void ScreenE2E::ClickCell(TDBGrid& grid, int row, const char* fieldName) {
    const int column = IndiceCol(grid, fieldName);
    ASSERT_GE(row, 0);
    ASSERT_GE(column, 0) << fieldName;
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(cell).center());
    QApplication::processEvents();
}

namespace {

// Keys go where the keyboard focus is: the grid, or its cell editor once one is open (closed
// editors linger as hidden children until deleted, so the focus tells, not the children).
// nullptr when the focus is outside the grid: the user's keys would not reach it.
QWidget* KeyTarget(TDBGrid& grid) {
    QWidget* focus = QApplication::focusWidget();
    return focus == &grid || grid.isAncestorOf(focus) ? focus : nullptr;
}

}  // namespace

void ScreenE2E::Type(TDBGrid& grid, const char* text) {
    for (QChar c : QString::fromUtf8(text)) {
        QWidget* target = KeyTarget(grid);
        ASSERT_NE(target, nullptr) << "the grid lost the keyboard focus before \"" << text << "\"";
        QTest::keyClicks(target, QString(c));
    }
    QApplication::processEvents();
}

void ScreenE2E::Key(TDBGrid& grid, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = KeyTarget(grid);
    ASSERT_NE(target, nullptr) << "the grid lost the keyboard focus";
    QTest::keyClick(target, key, modifiers);
    QApplication::processEvents();
}

void ScreenE2E::ChooseFromMenu(TfrmSugestaoProd& form, Qt::Key letter,
                               std::deque<ModalKeys::TStep> steps) {
    ModalKeys keys(std::move(steps));
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_R, Qt::AltModifier);
    QApplication::processEvents();
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_EQ(menu, form.mnuPadrao) << "Alt+R opens the menu Registro";
    QTest::keyClick(menu, letter);
    QApplication::processEvents();
    EXPECT_EQ(keys.Left(), 0u) << "dialogs that never came";
}

void ScreenE2E::TypeGroup(TDBGrid& grid, const char* code, const char* name, const char* order) {
    Type(grid, code);
    Key(grid, Qt::Key_Tab);
    Type(grid, name);
    Key(grid, Qt::Key_Tab);
    Type(grid, order);
}

void ScreenE2E::InsertGroup(TfrmSugestaoProd& form, const char* code, const char* name,
                            const char* order) {
    Click(form.sbtIncluir);
    TypeGroup(*form.dbgPadrao, code, name, order);
    Click(form.sbtConfirmar);
}

void ScreenE2E::RenameGroup(TfrmSugestaoProd& form, const char* code, const char* name) {
    ClickCell(*form.dbgPadrao, GroupRow(form, code), "NMGRUSUGESPROD");
    Click(form.sbtAlterar);
    Type(*form.dbgPadrao, name);
    Click(form.sbtConfirmar);
}

void ScreenE2E::DeleteGroup(TfrmSugestaoProd& form, const char* code) {
    ClickCell(*form.dbgPadrao, GroupRow(form, code), "CDGRUSUGESPROD");
    dialogs.QueueAnswer(mrYes);
    Click(form.sbtExcluir);
}

int ScreenE2E::GroupRow(TfrmSugestaoProd& form, const char* code) {
    return Row(form.cdsGrupSegProd, "CDGRUSUGESPROD", code);
}

int ScreenE2E::Row(const TClientDataSet& dataSet, const char* field, const std::string& value) {
    const int index = dataSet.FieldByName(field).Index();
    for (int row = 0; row < dataSet.RecordCount(); ++row)
        if (dataSet.ValueAt(row, index) == value) return row;
    return -1;
}

void ScreenE2E::BetweenChecksAndSave(TfrmSugestaoProd& form, std::function<void()> meanwhile) {
    BetweenChecksAndSave(form.cdsGrupSegProd, std::move(meanwhile));
}

void ScreenE2E::BetweenChecksAndSave(TClientDataSet& target, std::function<void()> meanwhile) {
    auto pending = std::make_shared<std::function<void()>>(std::move(meanwhile));
    TDataSetNotifyEvent checks = target.BeforePost;
    target.BeforePost = [checks, pending](TClientDataSet& dataSet) {
        checks(dataSet);  // a refusal here leaves `meanwhile` for the next post
        if (auto run = std::exchange(*pending, nullptr)) run();
    };
}

std::string ScreenE2E::CurrentColumn(TfrmSugestaoProd& form) {
    TField* field = form.dbgPadrao->SelectedField();
    return field ? field->FieldName() : "";
}

void ScreenE2E::TurnToProducts(TfrmSugestaoProd& form, const std::string& group) {
    ClickCell(*form.dbgPadrao, Row(form.cdsGrupSegProd, "CDGRUSUGESPROD", group), "NMGRUSUGESPROD");
    ASSERT_TRUE(form.pgcPadrao->TurnTo(form.pgcPadrao->indexOf(form.tshProduto)));
    QApplication::processEvents();
    ASSERT_EQ(form.ActiveControl(), form.dbgProduto);
}

void ScreenE2E::ExpectProductsAsOnServer(TfrmSugestaoProd& form) {
    const std::string group = form.cdsGrupSegProd.FieldByName("CDGRUSUGESPROD").AsString();
    const std::string main = form.cdsArvProd.FieldByName("CDPRODUTO").AsString();
    EXPECT_EQ(SortedRows(form.cdsArvProd), other->Rows("GetArvProd", {group}, "cdsArvProd"));
    EXPECT_EQ(SortedRows(form.cdsProdRelac),
              other->Rows("GetProdRelac", {group, main}, "cdsProdRelac"))
        << "main product " << main;
}

namespace {

// The real HTTP transport, keeping each request as the server reads it.
class RecordingTransport : public RpcTransport {
  public:
    explicit RecordingTransport(std::vector<FakeCall>& sent)
        : m_inner(MakeHttpTransport()), m_sent(sent) {}
    void open(const std::string& host, int port) override { m_inner->open(host, port); }
    void close() override { m_inner->close(); }
    bool isOpen() const override { return m_inner->isOpen(); }
    std::string post(const std::string& target, const std::string& body) override {
        std::string id;
        if (auto request = wire::readRequest(body, id);
            request && request->method != "rpc.describe")
            m_sent.push_back({request->method, request->params});
        return m_inner->post(target, body);
    }

  private:
    std::unique_ptr<RpcTransport> m_inner;
    std::vector<FakeCall>& m_sent;
};

}  // namespace

void ScreenE2E::RecordCalls() {
    TfrmSugestaoProd::SetTransportFactory(
        [this] { return std::make_unique<RecordingTransport>(sent); });
}

std::string ScreenE2E::TakeSaves() {
    std::string saves;
    for (const FakeCall& call : sent)
        if (call.method.rfind("Set", 0) == 0 && call.args.size() == 2)  // the product saves
            saves += (saves.empty() ? "" : " ") + call.method + "(" + call.args[0].value + ")";
    sent.clear();
    return saves;
}
