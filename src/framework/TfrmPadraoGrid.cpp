#include "framework/TfrmPadraoGrid.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/SafeCall.h"
#include "framework/StdDialogs.h"
#include "dataaccess/TClientDataSet.h"
#include "controls/TDBGrid.h"
#include "framework/TDBText.h"
#include "dataaccess/TNetConnection.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

TfrmPadraoGrid::TfrmPadraoGrid(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmPadraoGrid"));
    resize(1203, 495);
    msgMensagensPadroes.SetItems({});
    msgMensagensPadroes.SetFallback(&TMessages::Standard());
    msgPadrao.SetFallback(&msgMensagensPadroes);

    mnbPadrao = new QMenuBar(this);
    mnuPadrao = mnbPadrao->addMenu(QStringLiteral("&Registro"));
    panMenu = new QWidget(this);
    panMenu->setObjectName(QStringLiteral("panMenu"));
    auto* menuLayout = new QHBoxLayout(panMenu);
    menuLayout->setContentsMargins(4, 2, 4, 2);
    menuLayout->setSpacing(2);

    using F = TfrmPadraoGrid;
    sbtIncluir = AddCommand("Incluir", QStringLiteral("&Incluir"), QKeySequence(Qt::Key_Insert),
                            &F::sbtIncluirClick, mnuIncluir);
    sbtAlterar = AddCommand("Alterar", QStringLiteral("&Alterar"), QKeySequence(Qt::Key_F2),
                            &F::sbtAlterarClick, mnuAlterar);
    sbtExcluir =
        AddCommand("Excluir", QStringLiteral("&Excluir"), QKeySequence(Qt::CTRL | Qt::Key_Delete),
                   &F::sbtExcluirClick, mnuExcluir);
    sbtConfirmar = AddCommand("Confirmar", QStringLiteral("C&onfirmar"), QKeySequence(Qt::Key_F10),
                              &F::sbtConfirmarClick, mnuConfirmar);
    sbtCancelar = AddCommand("Cancelar", QStringLiteral("&Cancelar"), QKeySequence(Qt::Key_Escape),
                             &F::sbtCancelarClick, mnuCancelar);
    sbtProcurar = AddCommand("Procurar", QStringLiteral("&Procurar"),
                             QKeySequence(Qt::CTRL | Qt::Key_F), &F::sbtProcurarClick, mnuProcurar);
    sbtVerificar = AddCommand("Verificar", QStringLiteral("&Verificar"), QKeySequence(Qt::Key_F5),
                              &F::sbtVerificarClick, mnuVerificar);
    sbtImprimir = AddCommand("Imprimir", QStringLiteral("I&mprimir"),
                             QKeySequence(Qt::CTRL | Qt::Key_P), &F::sbtImprimirClick, mnuImprimir);
    mnuImprimir->setEnabled(false);
    sbtImprimir->setEnabled(false);
    menuLayout->addStretch(1);
    lblCodTela = new QLabel(panMenu);
    lblCodTela->setObjectName(QStringLiteral("lblCodTela"));
    menuLayout->addWidget(lblCodTela);

    pgcPadrao = new TPageControl(this);
    pgcPadrao->setObjectName(QStringLiteral("pgcPadrao"));
    tshPadrao = new TTabSheet(pgcPadrao, "Padrão");
    tshPadrao->setObjectName(QStringLiteral("tshPadrao"));
    dbgPadrao = new TDBGrid(tshPadrao);
    dbgPadrao->setObjectName(QStringLiteral("dbgPadrao"));
    auto* pageLayout = new QVBoxLayout(tshPadrao);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(dbgPadrao);
    dbgPadrao->SetDataSource(&dtsPadrao);
    dbgPadrao->OnKeyPress = [this](QObject* sender, char32_t& key) {
        dbgPadraoKeyPress(sender, key);
    };
    dtsPadrao.OnStateChange = [this](TDataSource& source) {
        // Raised by the record set's operations; those callers get the error, not Qt.
        dtsPadraoStateChange(&source);
    };

    panNavigator = new QWidget(this);
    panNavigator->setObjectName(QStringLiteral("panNavigator"));
    auto* navLayout = new QHBoxLayout(panNavigator);
    navLayout->setContentsMargins(6, 2, 6, 2);
    dbtNome = new TDBText(panNavigator);
    dbtNome->setObjectName(QStringLiteral("dbtNome"));
    navLayout->addWidget(dbtNome, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mnbPadrao);
    layout->addWidget(panMenu);
    layout->addWidget(pgcPadrao, 1);
    layout->addWidget(panNavigator);
}

TfrmPadraoGrid::~TfrmPadraoGrid() { ReleaseControls(); }

QToolButton* TfrmPadraoGrid::AddCommand(const char* name, const QString& caption,
                                        const QKeySequence& key,
                                        void (TfrmPadraoGrid::*handler)(QObject*), QAction*& item) {
    auto* button = new QToolButton(panMenu);
    button->setObjectName(QStringLiteral("sbt") + QLatin1String(name));
    button->setText(caption);
    button->setToolTip(QString(caption).remove(QLatin1Char('&')) + QStringLiteral(" (") +
                       key.toString(QKeySequence::NativeText) + QStringLiteral(")"));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    panMenu->layout()->addWidget(button);

    item = mnuPadrao->addAction(caption);
    item->setObjectName(QStringLiteral("mnu") + QLatin1String(name));
    item->setShortcut(key);
    item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(item);
    // The button is the sender either way, so screens see one object per command.
    // What the user typed in the focused grid's open cell belongs to the row the command acts
    // on (a confirm must post it); cancel is the exception: it throws the typing away.
    bool commitFirst = handler != &TfrmPadraoGrid::sbtCancelarClick;
    auto run = [this, button, handler, commitFirst] {
        if (auto* grid = qobject_cast<TDBGrid*>(ActiveControl()); grid && commitFirst)
            if (!grid->CommitEditor()) return;
        SafeCall([&] { (this->*handler)(button); });
    };
    connect(button, &QToolButton::clicked, this, run);
    connect(item, &QAction::triggered, this, [button, run] {
        if (button->isEnabled()) run();
    });
    return button;
}

void TfrmPadraoGrid::Create() {
    if (m_created) return;
    m_created = true;
    SafeCall([this] { FormCreate(this); });
}

QMdiSubWindow* TfrmPadraoGrid::SubWindow() const {
    return qobject_cast<QMdiSubWindow*>(parentWidget());
}

QWidget* TfrmPadraoGrid::TopWindow() const {
    return SubWindow() ? static_cast<QWidget*>(SubWindow()) : const_cast<TfrmPadraoGrid*>(this);
}

void TfrmPadraoGrid::Show() {
    QWidget* top = TopWindow();
    top->show();
    top->raise();
    if (QMdiSubWindow* sub = SubWindow()) {
        if (sub->mdiArea()) sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        activateWindow();
    }
}

void TfrmPadraoGrid::SetWindowState(int state) {
    QWidget* top = TopWindow();
    Qt::WindowStates states = top->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == wsMinimized) states |= Qt::WindowMinimized;
    if (state == wsMaximized) states |= Qt::WindowMaximized;
    top->setWindowState(states);
    if (state == wsNormal && SubWindow()) SubWindow()->showNormal();
}

int TfrmPadraoGrid::WindowState() const {
    Qt::WindowStates states = TopWindow()->windowState();
    if (states & Qt::WindowMinimized) return wsMinimized;
    if (states & Qt::WindowMaximized) return wsMaximized;
    return wsNormal;
}

void TfrmPadraoGrid::Close() { TopWindow()->close(); }

void TfrmPadraoGrid::SetCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
    if (QMdiSubWindow* sub = SubWindow()) sub->setWindowTitle(windowTitle());
}

std::string TfrmPadraoGrid::Caption() const { return windowTitle().toStdString(); }

QWidget* TfrmPadraoGrid::ActiveControl() const {
    // The form's own focus child: kept while another window or MDI child is active.
    QWidget* focus = focusWidget();
    if (!focus || !isAncestorOf(focus)) return nullptr;
    // A cell editor stands for its grid.
    for (QWidget* w = focus; w && w != this; w = w->parentWidget())
        if (auto* grid = qobject_cast<TDBGrid*>(w)) return grid;
    return focus;
}

void TfrmPadraoGrid::UpdateCommands() {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    TDataSetState state = dtsPadrao.State();
    bool editing = state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
    bool browse = state == TDataSetState::dsBrowse;
    bool rows = dataSet && dataSet->Active() && !dataSet->IsEmpty();
    mnuConfirmar->setEnabled(editing);
    mnuCancelar->setEnabled(editing);
    mnuIncluir->setEnabled(!editing);
    mnuAlterar->setEnabled(!editing && rows);
    mnuExcluir->setEnabled(!editing && rows);
    mnuProcurar->setEnabled(browse && rows);
    mnuVerificar->setEnabled(browse && rows);
    for (auto [item, button] : {std::pair{mnuConfirmar, sbtConfirmar},
                                {mnuCancelar, sbtCancelar},
                                {mnuIncluir, sbtIncluir},
                                {mnuAlterar, sbtAlterar},
                                {mnuExcluir, sbtExcluir},
                                {mnuProcurar, sbtProcurar},
                                {mnuVerificar, sbtVerificar}})
        button->setEnabled(item->isEnabled());
}

void TfrmPadraoGrid::FormCreate(QObject* /*sender*/) {
    pgcPadrao->SetActivePage(tshPadrao);
    dbgPadrao->setFocus(Qt::OtherFocusReason);
    UpdateCommands();
}

void TfrmPadraoGrid::FormClose(QObject* /*sender*/, TCloseAction& action) { action = caFree; }

void TfrmPadraoGrid::FormCloseQuery(QObject* /*sender*/, bool& CanClose) {
    if (!SaveOrDropUnsavedWork()) CanClose = false;
}

bool TfrmPadraoGrid::SaveOrDropUnsavedWork() {
    // An open cell counts as typed: written first, a refused value keeps everything.
    const auto grids = findChildren<TDBGrid*>();
    for (TDBGrid* grid : grids)
        if (!grid->CommitEditor()) return false;
    if (!HasUnsavedWork()) return true;
    switch (msgMensagensPadroes.ShowMsg("Grava", mtConfirmation, {mbYes, mbNo, mbCancel}, 0)) {
        case mrYes:
            SaveUnsavedWork();  // a refusal travels on, after its message, and keeps everything
            return true;
        case mrNo:
            DropUnsavedWork();
            return true;
        default:
            return false;
    }
}

bool TfrmPadraoGrid::HasUnsavedWork() {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    return dataSet && dataSet->Active() && dataSet->Modified();
}

void TfrmPadraoGrid::SaveUnsavedWork() {
    if (TClientDataSet* dataSet = dtsPadrao.DataSet()) dataSet->Post();
}

void TfrmPadraoGrid::DropUnsavedWork() {
    if (TClientDataSet* dataSet = dtsPadrao.DataSet()) dataSet->Cancel();
}

void TfrmPadraoGrid::CloseOnceCallsReturn() {
    // The user asked to close while a call waits for its answer: the close is carried out, with
    // its questions, as soon as no call waits any more.
    if (m_closePending) return;
    m_closePending = true;
    auto* retry = new QTimer(this);
    connect(retry, &QTimer::timeout, this, [this, retry] {
        if (TNetConnection::CallsWaiting() > 0) return;
        retry->deleteLater();
        m_closePending = false;
        Close();
    });
    retry->start(50);
}

void TfrmPadraoGrid::dbgPadraoKeyPress(QObject* /*sender*/, char32_t& /*key*/) {}

void TfrmPadraoGrid::dtsPadraoStateChange(TDataSource* /*sender*/) {
    if (!dbgPadrao) return;
    dbgPadrao->viewport()->update();
    QWidget* active = ActiveControl();
    if (!active || active == dbgPadrao) UpdateCommands();
}

void TfrmPadraoGrid::sbtIncluirClick(QObject* /*sender*/) {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    if (!dataSet) return;
    if (!dataSet->Active()) dataSet->Open();
    if (dataSet->State() != TDataSetState::dsInsert) dataSet->Insert();
    if (!dbgPadrao) return;
    dbgPadrao->setFocus(Qt::OtherFocusReason);
    if (dbgPadrao->Columns().Count() > 0) dbgPadrao->SetSelectedIndex(0);
}

void TfrmPadraoGrid::sbtAlterarClick(QObject* /*sender*/) {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    if (!dataSet || !dataSet->Active() || dataSet->IsEmpty()) return;
    dataSet->Edit();
    if (dbgPadrao) dbgPadrao->setFocus(Qt::OtherFocusReason);
}

void TfrmPadraoGrid::sbtExcluirClick(QObject* /*sender*/) {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    if (!dataSet || !dataSet->Active() || dataSet->IsEmpty() ||
        dataSet->State() != TDataSetState::dsBrowse)
        return;
    if (msgMensagensPadroes.ShowMsg("Excl", mtConfirmation, {mbYes, mbNo}, 0) == mrYes)
        dataSet->Delete();
}

void TfrmPadraoGrid::sbtConfirmarClick(QObject* /*sender*/) {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    if (!dataSet) return;
    if (dbgPadrao && !dbgPadrao->CommitEditor()) return;
    TDataSetState state = dataSet->State();
    if (state == TDataSetState::dsEdit || state == TDataSetState::dsInsert) dataSet->Post();
}

void TfrmPadraoGrid::sbtCancelarClick(QObject* /*sender*/) {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    if (!dataSet) return;
    TDataSetState state = dataSet->State();
    if (state != TDataSetState::dsEdit && state != TDataSetState::dsInsert) return;
    if (msgMensagensPadroes.ShowMsg("Canc", mtConfirmation, {mbYes, mbNo}, 0) == mrYes)
        dataSet->Cancel();
}

void TfrmPadraoGrid::sbtProcurarClick(QObject* /*sender*/) {
    TClientDataSet* dataSet = dtsPadrao.DataSet();
    if (dataSet && dataSet->Active()) Procura(*dataSet);
}

void TfrmPadraoGrid::sbtVerificarClick(QObject* /*sender*/) {
    if (dbgPadrao) dbgPadrao->viewport()->update();
}

void TfrmPadraoGrid::sbtImprimirClick(QObject* /*sender*/) {}

void TfrmPadraoGrid::closeEvent(QCloseEvent* event) {
    // Reached from the wait pump of a running server call, freeing the form would pull it from
    // under that call: refused, and the user closes again once the call has returned.
    if (TNetConnection::CallsWaiting() > 0) {
        event->ignore();
        CloseOnceCallsReturn();
        return;
    }
    // Asked first: a close that would drop what the user typed is the user's decision.
    bool canClose = true;
    if (!SafeCall([&] { FormCloseQuery(this, canClose); }) || !canClose) {
        event->ignore();
        return;
    }
    TCloseAction action = caHide;
    // A failing close handler must not trap the user in a window that cannot be closed.
    if (!SafeCall([&] { FormClose(this, action); })) action = caFree;
    switch (action) {
        case caNone:
            event->ignore();
            return;
        case caMinimize:
            event->ignore();
            SetWindowState(wsMinimized);
            return;
        case caHide:
            event->ignore();
            TopWindow()->hide();
            return;
        case caFree:
            event->accept();
            ReleaseControls();
            if (!SubWindow()) setAttribute(Qt::WA_DeleteOnClose);
            return;
    }
}

void TfrmPadraoGrid::ReleaseControls() {
    // Grids and labels observe data sources that derived forms hold as members, which are gone
    // before QWidget deletes its children: delete the data-aware controls while all are alive.
    // Focus leaves first, so no enter/exit handler runs on a form being taken apart.
    dtsPadrao.OnStateChange = nullptr;
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    const auto grids = findChildren<TDBGrid*>();
    for (TDBGrid* grid : grids) delete grid;
    const auto labels = findChildren<TDBText*>();
    for (TDBText* label : labels) delete label;
    dbgPadrao = nullptr;
    dbtNome = nullptr;
    dtsPadrao.SetDataSet(nullptr);
}
