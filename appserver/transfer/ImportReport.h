#pragma once
// The preview as the command line prints it: one line per change and per error, in the order of
// the file, then the summary "incluir: N; alterar: N; excluir: N; sem mudança: N; erros: N".

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/ImportPreview.h"

namespace appserver {

// One change or error of a preview: action "incluir", "alterar", "excluir" or "erro", and what
// changes ("principal ...: quant=N -> quant=S") or what is wrong. column is 0 for a change.
struct PreviewEntry {
    std::size_t line = 0;
    std::size_t column = 0;
    std::string_view action;
    std::string description;
};

// Hands each change and error to take, merged by line so a reader follows the file from top to
// bottom; each description is written only when its turn comes, so a preview of many changes is
// never held twice. Stops at the first failure take returns.
wire::Status forEachPreviewEntry(const ImportPreview& preview,
                                 const std::function<wire::Status(const PreviewEntry&)>& take);

// "linha 4: alterar principal ...: quant=N -> quant=S", "linha 7, coluna 4: erro: ...".
void printPreview(const ImportPreview& preview, std::ostream& out);
std::string summaryLine(const ImportCounts& counts);

}  // namespace appserver
