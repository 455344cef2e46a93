// Registro > Histórico… (Ctrl+H): the saves of the current group, of its current main product on
// page "Produto", newest first and read a page at a time; any save can be undone from there, as
// one unit, after the server's preview.

#include "Cli_vlp27000/BusyOptions.h"
#include "Cli_vlp27000/THistoryDialog.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Actions.h"
#include "declarations/RecordSetDefs.h"
#include "framework/StdDialogs.h"
#include "framework/TGiveFocusBack.h"
#include "framework/TPageControl.h"

namespace {

std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace

void TfrmSugestaoProd::mnuHistoricoClick(QObject* /*sender*/) {
    const std::string group = SavedGroupCode();
    if (group.empty()) {
        MessageDlg("Grave o grupo antes de ver o seu histórico.", mtInformation, {mbOK}, 0);
        return;
    }
    std::string subject =
        "Grupo " + group + " " + Trimmed(cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").AsString());
    std::string mainProduct;
    if (pgcPadrao->ActivePage() == tshProduto && cdsArvProd.Active() && !cdsArvProd.IsEmpty() &&
        cdsArvProd.State() != TDataSetState::dsInsert) {
        mainProduct = MainProductCode();
        subject += ", produto principal " + cdsArvProd.FieldByName("CDARVPROD").AsString() + " " +
                   Trimmed(cdsArvProd.FieldByName("NMPRODUTO").AsString());
    }
    TClientDataSet page("cdsHistorico", declarations::RecordSetDef("cdsHistorico").Fields);
    auto readPage = [this, group, mainProduct, &page](const std::string& before) {
        calls::GetHistorico(NetSugProd, group, mainProduct, before, page,
                            Busy(aviReading, "lendo o histórico"));
        return HistoryRows(page);
    };
    THistoryDialog dialog(
        QString::fromStdString(subject), readPage, wire::kHistoryPageRows,
        [this](const THistoryRow& save) { return UndoSave(save); }, this);
    dialog.Model()->Reload();  // a failure shows no dialog
    TGiveFocusBack focusBack(window());
    dialog.exec();
}

bool TfrmSugestaoProd::UndoSave(const THistoryRow& save) {
    if (!SaveOrDropUnsavedWork()) return false;
    TPreviewTexts texts = TPreviewTexts::AcrossLists(
        QStringLiteral("Desfazer gravação"),
        QStringLiteral("Desfazer a gravação %1 de %2, por %3 (%4).")
            .arg(QString::fromStdString(save.Save), QString::fromStdString(save.When),
                 QString::fromStdString(Trimmed(save.User)),
                 QString::fromStdString(Trimmed(save.Origin))));
    texts.ErrorAdvice = QStringLiteral(
        "%1 erro(s), listados primeiro (linhas alteradas depois dessa gravação, e por quem): "
        "nada será desfeito.");
    const std::optional<std::string> summary =
        ApplyPreviewed(texts, [&](bool previewOnly, TClientDataSet& answer) {
            calls::SetDesfazGravacao(
                NetSugProd, save.Save, previewOnly, answer,
                previewOnly ? Busy(aviReading, "conferindo") : Busy(aviSaving, "desfazendo"));
        });
    if (!summary) return false;
    MessageDlg("Gravação " + save.Save + " desfeita. " + *summary, mtInformation, {mbOK}, 0);
    return true;
}
