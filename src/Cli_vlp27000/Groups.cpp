// Page "Grupo": checking a group row as the user leaves a column and before it is posted, and
// saving every posted or deleted group at once.

#include "framework/EAbort.h"
#include "calls/Reads.h"
#include "calls/Saves.h"
#include "framework/FrameworkUtils.h"
#include "framework/StdDialogs.h"
#include "controls/TDBGrid.h"
#include "framework/TPageControl.h"
#include "wire/RemoteModule.h"
#include "Cli_vlp27000/TfrmSugestaoProd.h"

namespace {

bool Editing(const TClientDataSet& dataSet) {
    return dataSet.State() == TDataSetState::dsEdit || dataSet.State() == TDataSetState::dsInsert;
}

// Upper case of the letters "a" to "z" only: accented letters compare as they are.
std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

}  // namespace

template <class Steps>
void TfrmSugestaoProd::GroupCheck(const char* fieldName, Steps steps) {
    if (pgcPadrao->ActivePage() != tshPadrao || !Editing(cdsGrupSegProd)) return;
    try {
        steps();
    } catch (...) {
        cdsGrupSegProd.FieldByName(fieldName).FocusControl();
        throw;
    }
}

void TfrmSugestaoProd::Refuse(const char* messageKey) {
    MensErro(msgPadrao.Msg(messageKey), true);
    throw EAbort();  // MensErro(…, true) does not return; this keeps the compiler informed
}

void TfrmSugestaoProd::dbgPadraoKeyPress(QObject* sender, char32_t& key) {
    TfrmPadraoGrid::dbgPadraoKeyPress(sender, key);
    TField* field = dbgPadrao ? dbgPadrao->SelectedField() : nullptr;
    if (!field || field->FieldName() != "CDGRUSUGESPROD") return;
    if (key != 8 && (key < U'0' || key > U'9')) key = 0;
}

void TfrmSugestaoProd::dbgPadraoColExit(QObject* /*sender*/) {
    // The field is read anew before each comparison: a check may move the cursor.
    auto leaving = [this](const char* name) {
        TField* field = dbgPadrao ? dbgPadrao->SelectedField() : nullptr;
        return field && field->FieldName() == name;
    };
    if (leaving("CDGRUSUGESPROD"))
        Vd_Grupo(false);
    else if (leaving("NMGRUSUGESPROD"))
        Vd_NmGrupo(false);
    else if (leaving("NRORDEM"))
        Vd_Ordem(false);
}

void TfrmSugestaoProd::cdsGrupSegProdBeforePost(TClientDataSet& /*dataSet*/) {
    Vd_Grupo(true);
    Vd_NmGrupo(true);
    Vd_Ordem(true);
}

void TfrmSugestaoProd::Vd_Grupo(bool boObrigatorio) {
    GroupCheck("CDGRUSUGESPROD", [&] {
        TField& code = cdsGrupSegProd.FieldByName("CDGRUSUGESPROD");
        if (EmptyString(code.AsString())) {
            if (boObrigatorio) Refuse("Grup_Inf");
            return;
        }
        // Filled to the field's whole size: a code of digits takes leading zeros.
        code.SetAsString(Ajusta(code.AsString(), wire::column::CDGRUSUGESPROD.size));
        if (cdsGrupSegProd.State() != TDataSetState::dsInsert) return;
        calls::GetVerifGrupo(NetSugProd, code.AsString(), cdsVerifGrup);
        if (!cdsVerifGrup.IsEmpty()) Refuse("Grup_JCad");
    });
}

void TfrmSugestaoProd::Vd_NmGrupo(bool boObrigatorio) {
    GroupCheck("NMGRUSUGESPROD", [&] {
        TField& name = cdsGrupSegProd.FieldByName("NMGRUSUGESPROD");
        if (EmptyString(name.AsString())) {
            if (boObrigatorio) Refuse("Nm_Inf");
            return;
        }
        calls::GetNmGrupo(NetSugProd, name.AsString(), cdsNmGrupo);
        if (cdsNmGrupo.IsEmpty()) return;
        if (cdsGrupSegProd.State() == TDataSetState::dsInsert) Refuse("Nom_ja_Cad");
        // A changed group may find itself: the first row then carries its former name.
        const std::string former = name.OldValue().value_or("");
        const std::string found = cdsNmGrupo.FieldByName("NMGRUSUGESPROD").AsString();
        if (UpperAscii(former) != UpperAscii(found)) Refuse("Nom_ja_Cad");
    });
}

void TfrmSugestaoProd::Vd_Ordem(bool boObrigatorio) {
    GroupCheck("NRORDEM", [&] {
        TField& order = cdsGrupSegProd.FieldByName("NRORDEM");
        if (EmptyString(order.AsString())) {
            if (boObrigatorio) Refuse("Ordem_Inf");
            return;
        }
        if (cdsGrupSegProd.State() != TDataSetState::dsInsert) return;
        calls::GetVerifOrd(NetSugProd, order.AsString(), cdsVerifOrd);
        if (!cdsVerifOrd.IsEmpty()) Refuse("Ordem_JCad");
    });
}

void TfrmSugestaoProd::SaveGroups() {
    try {
        calls::SetGrupSegProd(NetSugProd, cdsGrupSegProd, msgPadrao.Msg("Atualizando"),
                              calls::TMergeOrder::MergeThenHide);
    } catch (...) {
        // The animation is gone with the call's scope; the grid goes back to the last saved
        // state, so it never shows what the server does not have.
        cdsGrupSegProd.CancelUpdates();
        throw;
    }
}

void TfrmSugestaoProd::cdsGrupSegProdAfterPost(TClientDataSet& /*dataSet*/) { SaveGroups(); }

void TfrmSugestaoProd::cdsGrupSegProdAfterDelete(TClientDataSet& /*dataSet*/) { SaveGroups(); }

void TfrmSugestaoProd::cdsGrupSegProdAfterCancel(TClientDataSet& /*dataSet*/) {
    cdsGrupSegProd.CancelUpdates();
    Controla_Botoes();
}

void TfrmSugestaoProd::dbgPadraoExit(QObject* /*sender*/) {
    if (Editing(cdsGrupSegProd)) cdsGrupSegProd.Post();
}

void TfrmSugestaoProd::dtsPadraoStateChange(TDataSource* sender) {
    TfrmPadraoGrid::dtsPadraoStateChange(sender);
    if (!dbgPadrao) return;
    dbgPadrao->Perform(TDBGrid::kRecalcLayoutMessage, 0, 0);
    const int code = IndiceCol(*dbgPadrao, "CDGRUSUGESPROD");
    if (code >= 0)
        dbgPadrao->Columns()[code].ButtonStyle =
            cdsGrupSegProd.State() == TDataSetState::dsInsert ? cbsEllipsis : cbsNone;
    Controla_Botoes();
}
