// Registro > Exportar…: the suggestions of the group shown, or of every group, as the CSV file the
// server writes (its lines, header first), saved where the user chooses.

#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Transfer.h"
#include "declarations/RecordSetDefs.h"
#include "framework/StdDialogs.h"
#include "framework/TChoiceDialog.h"
#include "framework/WriteLinesFile.h"

namespace {

constexpr const char* kTitle = "Exportar sugestões";
constexpr const char* kCsvFilter = "Arquivos CSV (*.csv);;Todos os arquivos (*)";
enum { kGroupShown, kAllGroups };

}  // namespace

void TfrmSugestaoProd::mnuExportarClick(QObject* /*sender*/) {
    const std::string group = SavedGroupCode();
    const std::string groupName =
        group.empty() ? "" : cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").AsString();
    TChoiceDialog scope(
        QString::fromUtf8(kTitle), QStringLiteral("O que exportar?"),
        {{QStringLiteral("&Grupo atual") +
              (group.empty()
                   ? QString()
                   : QStringLiteral(": %1 %2").arg(QString::fromStdString(group),
                                                   QString::fromStdString(groupName).trimmed())),
          QStringLiteral("Só as sugestões deste grupo."), !group.empty()},
         {QStringLiteral("&Todos os grupos"),
          QStringLiteral("As sugestões de todos os grupos, uma linha por produto relacionado."),
          true}},
        kAllGroups, this);
    const std::optional<int> chosen = scope.Run();
    if (!chosen) return;
    const std::string exported = *chosen == kGroupShown ? group : "";

    const std::optional<std::string> path = SaveFileName(
        kTitle, exported.empty() ? "sugestoes.csv" : "sugestoes-" + exported + ".csv", kCsvFilter);
    if (!path) return;

    TClientDataSet lines("cdsExportaSugestoes",
                         declarations::RecordSetDef("cdsExportaSugestoes").Fields);
    calls::TFetchOptions read;
    read.AviKind = aviReading;
    read.Caption = "exportando";
    calls::GetExportaSugestoes(NetSugProd, exported, lines, read);

    std::size_t written = 0;
    try {
        written = WriteLinesFile(*path, lines, "TXLINHA");
    } catch (const ETextFileError& e) {
        MensErro(e.what(), true);
    }
    MessageDlg("Exportação concluída: " + std::to_string(written) + " linha(s) gravada(s) em \"" +
                   *path + "\" (o cabeçalho e " + std::to_string(written ? written - 1 : 0) +
                   " de dados).",
               mtInformation, {mbOK}, 0);
}
