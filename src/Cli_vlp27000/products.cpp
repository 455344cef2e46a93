// Page "Produto": the main products of a group and the products related to each.

#include "TfrmSugestaoProd.h"

void TfrmSugestaoProd::dbgProdutoEnter(QObject* /*sender*/) { Controla_Botoes(); }

void TfrmSugestaoProd::dbgProdRelacEnter(QObject* /*sender*/) { Controla_Botoes(); }
