// Registro > Onde é usado… (Ctrl+U): every list a product is in, asked from a product cell of
// page "Produto" or from a row of the product search. From the dialog the user goes to one of
// those lists, or replaces the product by another (or removes it) in all of them at once, seeing
// first what would change.

#include <QAction>

#include "Cli_vlp27000/BusyOptions.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "Cli_vlp27000/TWhereUsedDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Actions.h"
#include "calls/Reads.h"
#include "declarations/RecordSetDefs.h"
#include "framework/StdDialogs.h"
#include "framework/TGiveFocusBack.h"
#include "framework/TPageControl.h"
#include "framework/TTabSheet.h"

namespace {

std::vector<TWhereUsedRow> ReadWhereUsed(TNetConnection& connection, const std::string& product) {
    TClientDataSet answer("cdsOndeUsado", declarations::RecordSetDef("cdsOndeUsado").Fields);
    calls::GetOndeUsado(connection, product, answer, Busy(aviReading, "procurando as listas"));
    return WhereUsedRows(answer);
}

QString Shown(const TProductRef& product) {
    return QString::fromStdString(product.Shown()).trimmed();
}

}  // namespace

// The product of the focused product grid's current row, read through its family's own fields.
std::optional<TProductRef> TfrmSugestaoProd::ProductAtCursor() {
    if (pgcPadrao->ActivePage() != tshProduto) return std::nullopt;
    const QWidget* focus = ActiveControl();
    for (const TProductFamily* f : ProductFamilies()) {
        if (focus != f->grid || f->cds.IsEmpty()) continue;
        TProductRef product;
        for (const auto& [field, from] : f->fromProduct) {
            const std::string value = f->cds.FieldByName(field).AsString();
            std::string_view of(from);
            (of == "CDPRODUTO"   ? product.Code
             : of == "CDARVPROD" ? product.TreeCode
                                 : product.Name) = value;
        }
        if (!product.Code.empty()) return product;
    }
    return std::nullopt;
}

void TfrmSugestaoProd::mnuOndeUsadoClick(QObject* /*sender*/) {
    const std::optional<TProductRef> product = ProductAtCursor();
    if (!product) {
        MessageDlg(
            "Para ver onde um produto é usado, ponha o cursor nele na página Produto, ou na "
            "pesquisa de produtos, e tecle Ctrl+U.",
            mtInformation, {mbOK}, 0);
        return;
    }
    ShowWhereUsed(*product);
}

void TfrmSugestaoProd::ShowWhereUsed(const TProductRef& product) {
    TWhereUsedDialog dialog(
        product, [this](TWhereUsedDialog& d) { ReplaceEverywhere(d, false); },
        [this](TWhereUsedDialog& d) { ReplaceEverywhere(d, true); }, this);
    dialog.SetRows(ReadWhereUsed(NetSugProd, product.Code));  // a failure shows no dialog
    std::optional<TWhereUsedRow> chosen;
    {
        TGiveFocusBack focusBack(window());
        chosen = dialog.Run();
    }
    if (chosen) GoToUse(*chosen, product.Code);
}

// The lists are read again as the user goes: the one chosen may have changed since it was listed.
void TfrmSugestaoProd::GoToUse(const TWhereUsedRow& use, const std::string& productCode) {
    if (!SaveOrDropUnsavedWork()) return;
    pgcPadrao->TurnTo(pgcPadrao->indexOf(tshPadrao));
    if (pgcPadrao->ActivePage() != tshPadrao) return;  // the page left refused to let go
    ReadGroups();
    if (!cdsGrupSegProd.Locate("CDGRUSUGESPROD", use.Group))
        MensErro("O grupo " + use.Group + " não existe mais.", true);
    tshProduto->SetEnabled(true);  // a group is current
    if (!pgcPadrao->TurnTo(pgcPadrao->indexOf(tshProduto)) || pgcPadrao->ActivePage() != tshProduto)
        return;  // the read that failed said why
    if (!cdsArvProd.Locate("CDPRODUTO", use.Main.Code))
        MensErro("O produto principal " + use.Main.Shown() + " não está mais no grupo " +
                     use.Group + ".",
                 true);
    TDBGrid* grid = dbgProduto;
    if (!use.AsMain) {
        if (!cdsProdRelac.Locate("CDPRODUTORELAC", productCode))
            MensErro("O produto não está mais relacionado a " + use.Main.Shown() + ".", true);
        grid = dbgProdRelac;
    }
    grid->setFocus(Qt::OtherFocusReason);
    Controla_Botoes();
}

void TfrmSugestaoProd::ReplaceEverywhere(TWhereUsedDialog& dialog, bool remove) {
    if (!SaveOrDropUnsavedWork()) return;
    const TProductRef from = dialog.Product();
    TProductRef to;
    if (!remove) {
        TClientDataSet catalogue("cdsPesqProdPrinc",
                                 declarations::RecordSetDef("cdsPesqProdPrinc").Fields);
        TDataSource list(&catalogue);
        calls::GetPesqProdPrinc(NetSugProd, catalogue, ProductLookUp());
        if (!Pesquisar(list, "Produto substituto|" + msgPadrao.Msg("Prod_N_Cad"), false, true))
            return;
        to = ProductInRow(catalogue, catalogue.RecNo());
        if (to.Code == from.Code)
            MensErro("O substituto é o próprio produto: escolha outro.", true);
    }
    const TPreviewTexts texts =
        remove ? TPreviewTexts::AcrossLists(
                     QStringLiteral("Remover de todas as listas"),
                     QStringLiteral("Remover %1 de todas as listas de sugestões.").arg(Shown(from)))
               : TPreviewTexts::AcrossLists(
                     QStringLiteral("Substituir em todas as listas"),
                     QStringLiteral("Substituir %1 por %2 em todas as listas de sugestões.")
                         .arg(Shown(from), Shown(to)));
    const std::optional<std::string> summary =
        ApplyPreviewed(texts, [&](bool previewOnly, TClientDataSet& answer) {
            calls::SetSubstituiProduto(
                NetSugProd, from.Code, to.Code, previewOnly, answer,
                previewOnly ? Busy(aviReading, "conferindo") : Busy(aviSaving, "gravando"));
        });
    if (!summary) return;
    dialog.SetRows(ReadWhereUsed(NetSugProd, from.Code));
    MessageDlg(std::string(remove ? "Remoção concluída. " : "Substituição concluída. ") + *summary,
               mtInformation, {mbOK}, 0);
}
