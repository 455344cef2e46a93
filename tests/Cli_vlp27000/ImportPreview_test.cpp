// The import's preview dialog from the keyboard: errors listed first, Aplicar enabled only
// without errors and then the default button, Enter applying only what may be applied.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableView>

#include "Cli_vlp27000/TImportPreview.h"
#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "ModalKeys.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TField.h"
#include "declarations/RecordSetDefs.h"

namespace {

// "line:action" words; the last row is the summary.
void Fill(TClientDataSet& answer, const std::string& rows, const std::string& summary) {
    answer.Open();
    std::istringstream words(rows);
    auto add = [&answer](const std::string& line, const std::string& action,
                         const std::string& description) {
        answer.Append();
        answer.FieldByName("NRLINHA").SetAsString(line);
        answer.FieldByName("NRCOLUNA").SetAsString(action == "erro" ? "7" : "");
        answer.FieldByName("TPACAO").SetAsString(action);
        answer.FieldByName("TXDESCRICAO").SetAsString(description);
        answer.Post();
    };
    for (std::string word; words >> word;) {
        const auto colon = word.find(':');
        add(word.substr(0, colon), word.substr(colon + 1), "linha " + word.substr(0, colon));
    }
    add("", "resumo", summary);
}

std::string Shown(const QTableView& table) {
    std::string out;
    for (int row = 0; row < table.model()->rowCount(); ++row)
        out += (row ? " " : "") + table.model()->index(row, 0).data().toString().toStdString() +
               ":" + table.model()->index(row, 2).data().toString().toStdString();
    return out;
}

TEST(ImportPreviewDialog, ErrorsFirstAndEnterAppliesOnlyWhatMayBeApplied) {
    const struct {
        const char* rows;
        const char* shown;  // the table, in order
        bool canApply;
        const char* keys;
        bool applied;
    } cases[] = {
        {"2:alterar 3:incluir", "2:alterar 3:incluir", true, "Return", true},
        {"2:alterar 3:incluir", "2:alterar 3:incluir", true, "Escape", false},
        {"2:alterar 3:incluir", "2:alterar 3:incluir", true, "Alt+C", false},
        {"2:alterar 4:erro 5:excluir 6:erro", "4:erro 6:erro 2:alterar 5:excluir", false, "Return",
         false},
        {"4:erro", "4:erro", false, "Alt+A Escape", false},
        {"", "", true, "Return", true},  // nothing to change: applying is harmless
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows + std::string(" / ") + c.keys);
        TClientDataSet answer("cdsImportaSugestoes",
                              declarations::RecordSetDef("cdsImportaSugestoes").Fields);
        Fill(answer, c.rows, "incluir: 1; alterar: 1; excluir: 0; sem mudança: 0; erros: 0");
        const TImportPreview preview = TImportPreview::FromDataSet(answer);
        TImportPreviewDialog dialog(preview, "sugestoes.csv", "incluir");
        EXPECT_EQ(Shown(*dialog.Table()), c.shown);
        EXPECT_EQ(dialog.ApplyButton()->isEnabled(), c.canApply);
        EXPECT_EQ(dialog.SummaryLabel()->text().toStdString(),
                  "incluir: 1; alterar: 1; excluir: 0; sem mudança: 0; erros: 0");
        ModalKeys keys({{c.keys, [](QDialog& shown) {
                             EXPECT_TRUE(qobject_cast<QTableView*>(shown.focusWidget()))
                                 << "the focus starts in the table";
                         }}});
        EXPECT_EQ(dialog.Run(), c.applied);
        EXPECT_EQ(keys.Left(), 0u);
    }
}

}  // namespace
