#include "ScreenProbes.h"

#include <QApplication>
#include <algorithm>

#include "controls/TDBGrid.h"
#include "framework/TTabSheet.h"

namespace {

// A new product row holds its default flags ("N", "S") until the user gives it more.
bool DefaultFlag(const std::string& field, const std::string& value) {
    return (field.starts_with("IDQUANT") && value == "N") ||
           (field.starts_with("IDTOTAL") && value == "S");
}

// An open cell's text as it would be written: mask blanks, separators and the zeros a code is
// padded with say nothing.
std::string Written(const QString& text) {
    std::string written = text.toStdString();
    std::erase_if(written, [](char c) { return c == ' ' || c == '.' || c == '_'; });
    return written.substr(std::min(written.size(), written.find_first_not_of('0')));
}

Pending PendingIn(const ScreenList& list) {
    Pending p;
    const TClientDataSet& r = *list.r;
    const TField* column = list.grid ? list.grid->SelectedField() : nullptr;
    if (QLineEdit* editor = OpenCell(list.grid); editor && column)
        p.typed = editor->isModified() &&
                  Written(editor->text()) != Written(QString::fromStdString(column->AsString()));
    p.logged = r.ChangeCount();
    for (int i = 0; i < r.FieldCount(); ++i) {
        const TField& field = r.Fields(i);
        const std::string value = field.AsString();
        if (r.State() == TDataSetState::dsInsert)
            p.row |= !value.empty() && !DefaultFlag(field.FieldName(), value);
        else if (r.State() == TDataSetState::dsEdit)
            p.row |= value != field.OldValue().value_or("");
    }
    return p;
}

}  // namespace

bool Editing(TDataSetState state) {
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

const char* StateName(TDataSetState state) {
    switch (state) {
        case TDataSetState::dsInactive:
            return "inactive";
        case TDataSetState::dsBrowse:
            return "browse";
        case TDataSetState::dsEdit:
            return "edit";
        case TDataSetState::dsInsert:
            return "insert";
    }
    return "?";
}

std::string ExpectedButtons(const TClientDataSet& r, const TDataSource& d) {
    const bool editing = Editing(r.State()), dEditing = Editing(d.State());
    const bool browseRows =
        d.State() == TDataSetState::dsBrowse && d.DataSet() && !d.DataSet()->IsEmpty();
    const bool change = !editing && !r.IsEmpty();
    return std::string{dEditing ? 'C' : '.',  dEditing ? 'X' : '.', editing ? '.' : 'I',
                       change ? 'A' : '.',    change ? 'E' : '.',   browseRows ? 'P' : '.',
                       browseRows ? 'V' : '.'};
}

QLineEdit* OpenCell(const TDBGrid* grid) {
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    return grid && editor && grid->isAncestorOf(editor) ? editor : nullptr;
}

std::vector<ScreenList> ScreenLists(TfrmSugestaoProd& f) {
    return {{"dbgPadrao", f.dbgPadrao, &f.cdsGrupSegProd, &f.dtsPadrao, f.tshPadrao,
             "SetGrupSegProd", "GetGrupSegProd"},
            {"dbgProduto", f.dbgProduto, &f.cdsArvProd, &f.dtsArvProd, f.tshProduto, "SetArvProd",
             "GetArvProd"},
            {"dbgProdRelac", f.dbgProdRelac, &f.cdsProdRelac, &f.dtsProdRelac, f.tshProduto,
             "SetProdRelac", "GetProdRelac"}};
}

std::vector<Pending> PendingAll(TfrmSugestaoProd& f) {
    std::vector<Pending> pending;
    for (const ScreenList& list : ScreenLists(f)) pending.push_back(PendingIn(list));
    return pending;
}

std::string MainProduct(TfrmSugestaoProd& f) {
    return f.cdsArvProd.Active() ? f.cdsArvProd.FieldByName("CDPRODUTO").AsString() : "";
}

const char* EditedUnfocused(TfrmSugestaoProd& f) {
    const auto lists = ScreenLists(f);
    QWidget* active = f.ActiveControl();
    if (std::none_of(lists.begin(), lists.end(),
                     [&](const ScreenList& l) { return l.grid == active; }))
        return nullptr;
    for (const ScreenList& list : lists)
        if (list.grid != active && Editing(list.r->State())) return list.name;
    return nullptr;
}

std::string Where(TfrmSugestaoProd& f) {
    QWidget* focus = QApplication::focusWidget();
    for (const ScreenList& list : ScreenLists(f)) {
        if (!list.grid || !focus || (focus != list.grid && !list.grid->isAncestorOf(focus)))
            continue;
        const TField* column = list.grid->SelectedField();
        return std::string(list.name) + " row " + std::to_string(list.r->RecNo()) + " " +
               (column ? column->FieldName() : "-") + " " + StateName(list.r->State()) +
               (OpenCell(list.grid) ? ", cell open" : "");
    }
    return focus ? focus->metaObject()->className() + (" " + focus->objectName().toStdString())
                 : "no focus";
}
