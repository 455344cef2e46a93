#pragma once
// The standard grid form every screen derives from. Built by the constructor:
//   panMenu      tool buttons sbtIncluir, sbtAlterar, sbtExcluir, sbtConfirmar, sbtCancelar,
//                sbtProcurar, sbtVerificar, sbtImprimir; lblCodTela (the screen code) at the right
//   mnuPadrao    the menu "Registro" with one item per command (mnuIncluir ...); the item holds
//                the command's enabled state and its shortcut (shown in the button's tooltip);
//                screens copy the item's state onto the button
//   pgcPadrao    page control with page tshPadrao, holding dbgPadrao
//   dtsPadrao    data source of dbgPadrao (the screen attaches its record set)
//   panNavigator the bottom panel with dbtNome (a TDBText; the screen binds it)
//   msgPadrao    the screen's catalogue, falling back to msgMensagensPadroes (the standard one)
// Tool buttons take no focus: a click leaves the focus in the control the user last worked in.
//
// Handlers are virtual; a screen overrides them and may call the base version. Clicks and
// shortcuts run them through SafeCall: errors are reported (EAbort silently), never reach Qt.
// Two-phase creation: TApplication::CreateForm builds the form, then Create() runs FormCreate.
//
// A data source must outlive the grids that show it: the form deletes its grids and TDBText labels
// when it is closed with caFree, and a derived form whose handlers or record sets are members
// calls ReleaseControls first in its destructor, so nothing reaches those members while they die.
// After that dbgPadrao is nullptr.

#include <QKeySequence>
#include <QWidget>
#include <string>

#include "dataaccess/TDataSource.h"
#include "framework/TMessages.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QToolButton;
class QMdiSubWindow;
class TDBGrid;
class TDBText;
class TPageControl;
class TTabSheet;

enum TCloseAction { caNone = 0, caHide = 1, caFree = 2, caMinimize = 3 };
enum TWindowState { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

class TfrmPadraoGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmPadraoGrid(QWidget* parent = nullptr);
    ~TfrmPadraoGrid() override;

    // Runs FormCreate(this); an error leaving it is reported and creation completes.
    void Create();

    // Shows the form (its MDI sub-window when it has one) and brings it to the front.
    void Show();
    void SetWindowState(int state);  // TWindowState
    int WindowState() const;
    void Close();  // as the user closing the window
    void SetCaption(const std::string& caption);
    std::string Caption() const;
    QMdiSubWindow* SubWindow() const;  // nullptr when not in an MDI area

    // The control holding the input focus inside the form: a grid counts as focused while its
    // cell editor is. nullptr when the focus is elsewhere.
    QWidget* ActiveControl() const;

    // Sets enabled on each command's menu item and copies it onto the tool buttons, from
    // dtsPadrao: confirm/cancel while editing, include while not editing, change/delete with
    // rows and not editing, search/verify in browse with rows.
    void UpdateCommands();

    // Components
    QWidget* panMenu;
    QToolButton *sbtIncluir, *sbtAlterar, *sbtExcluir, *sbtConfirmar, *sbtCancelar, *sbtProcurar,
        *sbtVerificar, *sbtImprimir;
    QMenuBar* mnbPadrao;
    QMenu* mnuPadrao;
    QAction *mnuIncluir, *mnuAlterar, *mnuExcluir, *mnuConfirmar, *mnuCancelar, *mnuProcurar,
        *mnuVerificar, *mnuImprimir;
    QLabel* lblCodTela;
    TPageControl* pgcPadrao;
    TTabSheet* tshPadrao;
    TDBGrid* dbgPadrao;
    TDataSource dtsPadrao;
    QWidget* panNavigator;
    TDBText* dbtNome;
    TMessages msgMensagensPadroes;
    TMessages msgPadrao;

    // Standard handlers; sender is the object that raised the event.
    // FormCreate: puts the focus in dbgPadrao (so the commands follow the group grid) and
    // evaluates the commands. Fields with Tag 1 are the screen's business; nothing is done here.
    virtual void FormCreate(QObject* sender);
    // FormCloseQuery: whether the form may close, asked before FormClose. Writes the open cell of
    // every grid (a refused value keeps the form) and, with HasUnsavedWork, asks "Grava": Sim runs
    // SaveUnsavedWork (a refusal travels on and keeps the form), Não DropUnsavedWork, Cancelar
    // keeps the form.
    virtual void FormCloseQuery(QObject* sender, bool& CanClose);
    // The same steps before anything else that would bypass what the user typed (an import that
    // reads every list again): true when nothing is left unsaved, false when a cell refused its
    // value or the user answered Cancelar; a refused save travels on.
    bool SaveOrDropUnsavedWork();
    // What a close would lose, and how to keep or drop it; the base knows dtsPadrao's record set
    // only: a changed row being edited, posted or cancelled.
    virtual bool HasUnsavedWork();
    virtual void SaveUnsavedWork();
    virtual void DropUnsavedWork();
    // FormClose: action caFree (closing releases the window).
    virtual void FormClose(QObject* sender, TCloseAction& action);
    // dbgPadraoKeyPress: the key filter hook of dbgPadrao; the base lets every key through.
    virtual void dbgPadraoKeyPress(QObject* sender, char32_t& key);
    // dtsPadraoStateChange: refreshes dbgPadrao and, while dbgPadrao holds the focus (or nothing
    // in the form does), evaluates the commands (UpdateCommands).
    virtual void dtsPadraoStateChange(TDataSource* sender);
    // sbtIncluirClick: inserts a row in dtsPadrao's record set (opening an empty one when it is
    // closed, posting a pending edit first; already inserting: no second row) and puts the
    // cursor on the new row's first column.
    virtual void sbtIncluirClick(QObject* sender);
    // sbtAlterarClick: Edit on a record set with rows; focus to dbgPadrao.
    virtual void sbtAlterarClick(QObject* sender);
    // sbtExcluirClick: with rows and not editing, asks the standard "Excl" confirmation and
    // deletes the current row when answered Yes.
    virtual void sbtExcluirClick(QObject* sender);
    // sbtConfirmarClick: posts when editing.
    virtual void sbtConfirmarClick(QObject* sender);
    // sbtCancelarClick: when editing, asks "Canc" and cancels when answered Yes.
    virtual void sbtCancelarClick(QObject* sender);
    // sbtProcurarClick: the locate dialog (Procura) over an active record set.
    virtual void sbtProcurarClick(QObject* sender);
    // sbtVerificarClick: repaints dbgPadrao (the base form knows no server to re-read from).
    virtual void sbtVerificarClick(QObject* sender);
    // sbtImprimirClick: nothing (the button starts disabled).
    virtual void sbtImprimirClick(QObject* sender);

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Deletes the grids and TDBText labels and detaches dtsPadrao from its record set, with its
    // handler unbound. Idempotent.
    void ReleaseControls();

  private:
    QWidget* TopWindow() const;  // the MDI sub-window, or the form itself
    void CloseOnceCallsReturn();
    QToolButton* AddCommand(const char* name, const QString& caption, const QKeySequence& key,
                            void (TfrmPadraoGrid::*handler)(QObject*), QAction*& item);

    bool m_created = false;
    bool m_closePending = false;  // a close asked during a server call, carried out after it
};
