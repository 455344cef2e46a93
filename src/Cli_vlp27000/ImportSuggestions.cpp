// Registro > Importar…: a CSV file of suggestions, in mode "incluir" or "substituir", previewed
// by the server before anything changes; only Aplicar imports it, whole or not at all, and then
// every list of the screen is read again.

#include <QFileInfo>
#include <algorithm>

#include "Cli_vlp27000/BusyOptions.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Transfer.h"
#include "framework/ReadTextFile.h"
#include "framework/StdDialogs.h"
#include "framework/TChoiceDialog.h"
#include "framework/TPageControl.h"
#include "wire/Limits.h"

namespace {

constexpr const char* kTitle = "Importar sugestões";
constexpr const char* kCsvFilter = "Arquivos CSV (*.csv);;Todos os arquivos (*)";
constexpr const char* kModes[] = {"incluir", "substituir"};

// The file travels whole in one request: the smaller of the argument's and the body's limits.
constexpr std::size_t kMaxFileBytes =
    std::min<std::size_t>(wire::param::kCsvText.size, wire::kMaxBodyBytes);

std::optional<int> AskMode(QWidget* parent) {
    TChoiceDialog mode(
        QString::fromUtf8(kTitle), QStringLiteral("Como importar o arquivo?"),
        {{QStringLiteral("&Incluir"),
          QStringLiteral("Acrescenta os grupos, produtos principais e relacionados do arquivo e "
                         "atualiza nomes, ordens e marcas. Nada é removido."),
          true},
         {QStringLiteral("&Substituir"),
          QStringLiteral("Cada grupo do arquivo fica exatamente como o arquivo diz: os produtos "
                         "desse grupo que não estão no arquivo são removidos. Grupos que não "
                         "aparecem no arquivo não mudam."),
          true}},
        0, parent);
    return mode.Run();
}

}  // namespace

void TfrmSugestaoProd::mnuImportarClick(QObject* /*sender*/) {
    // Every list is read again after the import: what the user typed is saved or dropped first.
    if (!SaveOrDropUnsavedWork()) return;

    const std::optional<std::string> path = OpenFileName(kTitle, kCsvFilter);
    if (!path) return;
    std::optional<std::string> text;
    try {
        text = ReadTextFile(*path, kMaxFileBytes);
    } catch (const ETextFileError& e) {
        MensErro(e.what(), true);
    }
    if (!text) return;  // the user cancelled the reading

    const std::optional<int> mode = AskMode(this);
    if (!mode) return;
    const std::string modeName = kModes[*mode];

    const std::optional<std::string> summary = ApplyPreviewed(
        TPreviewTexts::Import(QFileInfo(QString::fromStdString(*path)).fileName(),
                              QString::fromStdString(modeName)),
        [&](bool previewOnly, TClientDataSet& answer) {
            calls::SetImportaSugestoes(NetSugProd, *text, modeName, previewOnly, answer,
                                       previewOnly ? Busy(aviReading, "conferindo o arquivo")
                                                   : Busy(aviSaving, "importando"));
        });
    if (!summary) return;
    MessageDlg("Importação concluída. " + *summary, mtInformation, {mbOK}, 0);
}
