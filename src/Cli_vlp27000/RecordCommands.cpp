// The menu "Registro" beyond the seven commands: Exportar…, Importar…, Onde é usado… (Ctrl+U),
// Histórico… (Ctrl+H) and Copiar grupo…. They act on what the server holds, so they stay enabled
// on both pages; each says so when the place it was asked from does not suit it.

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "controls/SafeCall.h"

QAction* TfrmSugestaoProd::AddRecordItem(const char* name, const QString& caption,
                                         const QKeySequence& key,
                                         void (TfrmSugestaoProd::*handler)(QObject*)) {
    QAction* item = mnuPadrao->addAction(caption);
    item->setObjectName(QLatin1String(name));
    if (!key.isEmpty()) {
        item->setShortcut(key);
        // As the seven commands: anywhere in the screen, not in another window.
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(item);
    }
    connect(item, &QAction::triggered, this,
            [this, item, handler] { SafeCall([&] { (this->*handler)(item); }); });
    return item;
}

void TfrmSugestaoProd::AddRecordCommands() {
    using F = TfrmSugestaoProd;
    mnuPadrao->addSeparator();
    mnuExportar =
        AddRecordItem("mnuExportar", QStringLiteral("E&xportar…"), {}, &F::mnuExportarClick);
    mnuImportar =
        AddRecordItem("mnuImportar", QStringLiteral("Impor&tar…"), {}, &F::mnuImportarClick);
    mnuPadrao->addSeparator();
    mnuOndeUsado = AddRecordItem("mnuOndeUsado", QStringLiteral("O&nde é usado…"),
                                 QKeySequence(Qt::CTRL | Qt::Key_U), &F::mnuOndeUsadoClick);
    mnuHistorico = AddRecordItem("mnuHistorico", QStringLiteral("&Histórico…"),
                                 QKeySequence(Qt::CTRL | Qt::Key_H), &F::mnuHistoricoClick);
    mnuCopiarGrupo = AddRecordItem("mnuCopiarGrupo", QStringLiteral("Copiar gr&upo…"), {},
                                   &F::mnuCopiarGrupoClick);
}

std::string TfrmSugestaoProd::SavedGroupCode() const {
    if (!cdsGrupSegProd.Active() || cdsGrupSegProd.IsEmpty() ||
        cdsGrupSegProd.State() == TDataSetState::dsInsert)
        return "";
    return GroupCode();
}
