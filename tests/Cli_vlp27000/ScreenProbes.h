#pragma once
// What the random walk reads off the screen: its three editable lists, the commands a list's
// state requires, what the user gave a list that the server does not hold yet, and where the
// focus is, in words for the walk's trail. UI thread only.

#include <QLineEdit>
#include <string>
#include <vector>

#include "Cli_vlp27000/TfrmSugestaoProd.h"

// One editable list: its grid, record set, data source, page, and the calls that save and read it.
struct ScreenList {
    const char* name;
    TDBGrid* grid;
    TClientDataSet* r;
    TDataSource* d;
    TTabSheet* page;
    const char* save;
    const char* read;
};
std::vector<ScreenList> ScreenLists(TfrmSugestaoProd& f);  // groups, main, related products

// What the user gave a list that the server does not have yet.
struct Pending {
    bool typed = false;  // the open cell holds text the user changed
    bool row = false;    // the row being edited holds values the user gave
    int logged = 0;      // posted changes not saved (a refused save)
    bool Any() const { return typed || row || logged > 0; }
};
std::vector<Pending> PendingAll(TfrmSugestaoProd& f);  // in the order of ScreenLists

bool Editing(TDataSetState state);
const char* StateName(TDataSetState state);
// The enabled commands as Buttons() shows them, by the rule of the focused grid's record set r
// and its data source d.
std::string ExpectedButtons(const TClientDataSet& r, const TDataSource& d);
QLineEdit* OpenCell(const TDBGrid* grid);  // the grid's cell editor holding the focus, or nullptr
std::string MainProduct(TfrmSugestaoProd& f);  // CDPRODUTO of the current main product
// The list being edited while another grid holds the focus; nullptr when none.
const char* EditedUnfocused(TfrmSugestaoProd& f);
std::string Where(TfrmSugestaoProd& f);  // the focus: its grid, row, column and state
