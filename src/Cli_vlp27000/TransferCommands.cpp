// The menu items "Exportar…" and "Importar…" of "Registro", beside the seven commands. They act on
// the server's data whatever grid holds the focus, so they stay enabled on both pages.

#include <QAction>
#include <QMenu>

#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "controls/SafeCall.h"

void TfrmSugestaoProd::AddTransferCommands() {
    mnuPadrao->addSeparator();
    auto add = [this](const char* name, const QString& caption,
                      void (TfrmSugestaoProd::*handler)(QObject*)) {
        QAction* item = mnuPadrao->addAction(caption);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this,
                [this, item, handler] { SafeCall([&] { (this->*handler)(item); }); });
        return item;
    };
    mnuExportar =
        add("mnuExportar", QStringLiteral("E&xportar…"), &TfrmSugestaoProd::mnuExportarClick);
    mnuImportar =
        add("mnuImportar", QStringLiteral("Impor&tar…"), &TfrmSugestaoProd::mnuImportarClick);
}

std::string TfrmSugestaoProd::SavedGroupCode() const {
    if (!cdsGrupSegProd.Active() || cdsGrupSegProd.IsEmpty() ||
        cdsGrupSegProd.State() == TDataSetState::dsInsert)
        return "";
    return GroupCode();
}
