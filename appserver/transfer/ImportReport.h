#pragma once
// The preview as the command line prints it: one line per change and per error, in the order of
// the file, then the summary "incluir: N; alterar: N; excluir: N; sem mudança: N; erros: N".

#include <ostream>
#include <string>

#include "transfer/ImportPreview.h"

namespace appserver {

// "linha 4: alterar principal ...: quant=N -> quant=S", "linha 7, coluna 4: erro: ...".
void printPreview(const ImportPreview& preview, std::ostream& out);
std::string summaryLine(const ImportCounts& counts);

}  // namespace appserver
