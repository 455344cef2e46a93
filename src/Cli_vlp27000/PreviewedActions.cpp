// The actions the server previews before they change anything (an import, a replacement
// everywhere, an undo): the preview, Aplicar, the action applied whole, every list read again.

#include <QApplication>

#include "Cli_vlp27000/TImportPreview.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "declarations/RecordSetDefs.h"
#include "framework/StdDialogs.h"
#include "framework/TGiveFocusBack.h"
#include "framework/TPageControl.h"

std::optional<std::string> TfrmSugestaoProd::ApplyPreviewed(const TPreviewTexts& texts,
                                                            const TPreviewedCall& call) {
    // Every previewed action answers the import's preview fields.
    TClientDataSet answer("cdsPrevia", declarations::RecordSetDef("cdsImportaSugestoes").Fields);
    call(true, answer);
    {
        const TImportPreview preview = TImportPreview::FromDataSet(answer);
        TImportPreviewDialog dialog(preview, texts, this);
        // Back to the dialog it was asked from (where used, history), else to the screen.
        QWidget* from = QApplication::activeModalWidget();
        TGiveFocusBack focusBack(from ? from : window());
        if (!dialog.Run()) return std::nullopt;
    }
    call(false, answer);
    const TImportPreview applied = TImportPreview::FromDataSet(answer);
    if (applied.Errors() > 0)
        MensErro(texts.RefusedOnApply.arg(applied.Errors()).toStdString() + " " + applied.Summary(),
                 true);
    ReadAllAgain();
    return applied.Summary();
}

void TfrmSugestaoProd::ReadAllAgain() {
    ReadGroups("CDGRUSUGESPROD");
    if (pgcPadrao->ActivePage() == tshProduto) {
        ReadMainProducts(m_mainProducts.code);
        cdsArvProdAfterScroll(cdsArvProd);
    }
    Controla_Botoes();
}
