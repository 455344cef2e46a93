// Registro > Importar…: a CSV file of suggestions, in mode "incluir" or "substituir", previewed
// by the server before anything changes; only Aplicar imports it, whole or not at all, and then
// every list of the screen is read again.

#include <QFileInfo>
#include <algorithm>

#include "Cli_vlp27000/TImportPreview.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Transfer.h"
#include "declarations/RecordSetDefs.h"
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

calls::TFetchOptions Busy(TAviKind kind, const char* caption) {
    calls::TFetchOptions options;
    options.AviKind = kind;
    options.Caption = caption;
    return options;
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

    TClientDataSet answer("cdsImportaSugestoes",
                          declarations::RecordSetDef("cdsImportaSugestoes").Fields);
    calls::SetImportaSugestoes(NetSugProd, *text, modeName, true, answer,
                               Busy(aviReading, "conferindo o arquivo"));
    const TImportPreview preview = TImportPreview::FromDataSet(answer);
    {
        TImportPreviewDialog dialog(preview, QFileInfo(QString::fromStdString(*path)).fileName(),
                                    QString::fromStdString(modeName), this);
        if (!dialog.Run()) return;
    }

    calls::SetImportaSugestoes(NetSugProd, *text, modeName, false, answer,
                               Busy(aviSaving, "importando"));
    text.reset();
    const TImportPreview applied = TImportPreview::FromDataSet(answer);
    if (applied.Errors() > 0)
        MensErro("Nada foi importado: os dados mudaram desde a prévia e o arquivo agora tem " +
                     std::to_string(applied.Errors()) +
                     " erro(s). Importe de novo para ver a prévia. " + applied.Summary(),
                 true);
    ReadAllAfterImport();
    MessageDlg("Importação concluída. " + applied.Summary(), mtInformation, {mbOK}, 0);
}

void TfrmSugestaoProd::ReadAllAfterImport() {
    ReadGroups("CDGRUSUGESPROD");
    if (pgcPadrao->ActivePage() == tshProduto) {
        ReadMainProducts(m_mainProducts.code);
        cdsArvProdAfterScroll(cdsArvProd);
    }
    Controla_Botoes();
}
