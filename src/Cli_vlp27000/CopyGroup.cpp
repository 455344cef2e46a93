// Registro > Copiar grupo… (page "Grupo"): a new group with every main and related product of the
// current one and their flags, under a code, name and order checked as the group grid checks
// them; the groups are then read again with the new one current.

#include "Cli_vlp27000/TCopyGroupDialog.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"
#include "calls/Actions.h"
#include "calls/Reads.h"
#include "framework/FrameworkUtils.h"
#include "framework/StdDialogs.h"
#include "framework/TGiveFocusBack.h"
#include "framework/TPageControl.h"
#include "wire/RemoteModule.h"

namespace column = wire::column;

void TfrmSugestaoProd::mnuCopiarGrupoClick(QObject* /*sender*/) {
    if (pgcPadrao->ActivePage() != tshPadrao) {
        MessageDlg(
            "Para copiar um grupo, volte à página Grupo (Ctrl+PgUp) e ponha o cursor no "
            "grupo a copiar.",
            mtInformation, {mbOK}, 0);
        return;
    }
    // The groups are read again after the copy: what the user typed is saved or dropped first.
    if (!SaveOrDropUnsavedWork()) return;
    const std::string source = SavedGroupCode();
    if (source.empty()) {
        MessageDlg("Não há grupo gravado para copiar.", mtInformation, {mbOK}, 0);
        return;
    }
    const QString name =
        QString::fromStdString(cdsGrupSegProd.FieldByName("NMGRUSUGESPROD").AsString()).trimmed();
    const std::string proposed =
        (QStringLiteral("Cópia de ") + name).left(column::NMGRUSUGESPROD.size).toStdString();
    TCopyGroupDialog dialog(
        QString::fromStdString(source) + " " + name, {"", proposed, ""},
        column::CDGRUSUGESPROD.size, column::NMGRUSUGESPROD.size, column::NRORDEM.size,
        [this, &source](TCopyGroupDialog& d, TNewGroup& group) { CopyGroup(d, source, group); },
        this);
    {
        TGiveFocusBack focusBack(window());
        if (!dialog.Run()) return;
    }
    ReadGroups();
    cdsGrupSegProd.Locate("CDGRUSUGESPROD", dialog.Copied().Code);
    Controla_Botoes();
}

// The checks of Vd_Grupo, Vd_NmGrupo and Vd_Ordem on a new row, with the cursor on the box at
// fault; the server checks again in the copy's own transaction.
void TfrmSugestaoProd::CopyGroup(TCopyGroupDialog& dialog, const std::string& source,
                                 TNewGroup& group) {
    auto refuse = [&](TCopyGroupDialog::TBox box, const char* messageKey) {
        dialog.FocusBox(box);
        Refuse(messageKey);
    };
    if (EmptyString(group.Code)) refuse(TCopyGroupDialog::kCode, "Grup_Inf");
    group.Code = Ajusta(group.Code, column::CDGRUSUGESPROD.size);
    calls::GetVerifGrupo(NetSugProd, group.Code, cdsVerifGrup);
    if (!cdsVerifGrup.IsEmpty()) refuse(TCopyGroupDialog::kCode, "Grup_JCad");
    if (EmptyString(group.Name)) refuse(TCopyGroupDialog::kName, "Nm_Inf");
    calls::GetNmGrupo(NetSugProd, group.Name, cdsNmGrupo);
    if (!cdsNmGrupo.IsEmpty()) refuse(TCopyGroupDialog::kName, "Nom_ja_Cad");
    if (EmptyString(group.Order)) refuse(TCopyGroupDialog::kOrder, "Ordem_Inf");
    calls::GetVerifOrd(NetSugProd, group.Order, cdsVerifOrd);
    if (!cdsVerifOrd.IsEmpty()) refuse(TCopyGroupDialog::kOrder, "Ordem_JCad");
    calls::SetCopiaGrupo(NetSugProd, source, group.Code, group.Name, group.Order,
                         "copiando o grupo");
}
