#pragma once
// One of the twin product families of page "Produto": the main products of the group (cdsArvProd
// in dbgProduto) or the products related to the current main product (cdsProdRelac in
// dbgProdRelac). It holds everything that tells the two apart, so that one set of handlers and
// checks serves both. The screen builds each once (ProductFamilies.cpp) and binds its events
// there; a family refers to the screen's members and lives exactly as long as the screen.

#include <QPointer>
#include <array>
#include <functional>
#include <string>
#include <utility>

#include "calls/Saves.h"
#include "controls/TDBGrid.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSource.h"

struct TProductFamily {
    TClientDataSet& cds;
    TDataSource& dts;
    QPointer<TDBGrid>& grid;  // null once the screen released its controls
    const char* code;         // the tree code the user types
    const char* name;         // the product's name, always filled by the program
    const char* flagQ;        // "Quantidade"
    const char* flagT;        // "Totalizador"
    // A product chosen by a check or a search fills the row: the group's code, for related
    // products the main product's code, then these {field, product's field} in this order.
    bool underMainProduct;
    std::array<std::pair<const char*, const char*>, 3> fromProduct;
    // True when the family already holds the product of this tree code (in/out, as the check
    // sends it); asked of the server under the busy animation.
    std::function<bool(std::string& code)> holds;
    // Reads the products the code column's search offers into searchList's record set.
    std::function<void()> readSearch;
    TDataSource& searchList;
    calls::TProductSave save;  // sends the family's change log
};
