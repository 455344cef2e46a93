// Registro > Exportar… and Importar… in a person's hands, against the real application server:
// the menu opened with Alt+R and the item's letter, each dialog answered with keys, the file
// dialogs scripted. Export writes the server's own CSV lines; an import shows its preview, and
// only Aplicar changes what the server holds (read back by another user's export).
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "Cli_vlp27000/TImportPreviewDialog.h"
#include "CsvLines.h"
#include "ModalKeys.h"
#include "ScreenE2E.h"
#include "framework/TPageControl.h"

namespace {

const std::string kCafe = "0000000001";

class Transfer : public ScreenE2E {
  protected:
    // The server's CSV lines for a group ("" all), read by another user.
    std::vector<std::string> ServerLines(const std::string& group = "") {
        return other->Values("GetExportaSugestoes", {group}, "cdsExportaSugestoes", "TXLINHA");
    }

    std::string Path(const char* name) { return dir.filePath(name).toStdString(); }

    static std::string FileText(const std::string& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) return "(sem arquivo)";
        return file.readAll().toStdString();
    }


    QTemporaryDir dir;
};

TEST_P(Transfer, ExportWritesTheServersLinesWithCrlf) {
    const struct {
        const char* name;
        bool onProducts;
        const char* scopeKeys;  // default: all groups
        std::string group;      // what the file holds: "" all
        const char* suggested;
    } cases[] = {
        {"all groups from page Grupo", false, "Return", "", "sugestoes.csv"},
        {"the group shown on page Produto", true, "Alt+G Return", kCafe,
         "sugestoes-0000000001.csv"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartServer();
        TfrmSugestaoProd& form = OpenScreen();
        if (c.onProducts) TurnToProducts(form, kCafe);
        dialogs.Clear();
        const std::string path = Path("exportado.csv");
        dialogs.QueueFileName(path);
        ChooseFromMenu(form, Qt::Key_X, {{c.scopeKeys, {}}});
        const std::vector<std::string> lines = ServerLines(c.group);
        ASSERT_GT(lines.size(), 1u);
        EXPECT_EQ(lines.front().rfind("grupo;nome_grupo;ordem;principal", 0), 0u);
        EXPECT_EQ(FileText(path), Joined(lines));
        ASSERT_EQ(dialogs.Log.size(), 2u);
        EXPECT_EQ(dialogs.Log[0], std::string("SaveFileName Exportar sugestões: ") + c.suggested);
        EXPECT_NE(dialogs.Log[1].find("Exportação concluída: " + std::to_string(lines.size()) +
                                      " linha(s)"),
                  std::string::npos)
            << dialogs.Log[1];
        CloseScreen();
    }
}

TEST_P(Transfer, ExportToAFolderThatIsNotThereSaysSoAndWritesNothing) {
    TfrmSugestaoProd& form = OpenScreen();
    dialogs.Clear();
    dialogs.QueueFileName(Path("nao-existe/sugestoes.csv"));
    ChooseFromMenu(form, Qt::Key_X, {{"Return", {}}});
    ASSERT_EQ(dialogs.Log.size(), 2u);
    EXPECT_EQ(dialogs.Log[1].rfind("MessageDlg 1: Não foi possível gravar o arquivo", 0), 0u)
        << dialogs.Log[1];
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("nao-existe/sugestoes.csv"))));
}

// An edit of the exported file: the lines it leaves.
using TEdit = std::function<std::vector<std::string>(std::vector<std::string>)>;

// A related product no catalogue holds.
std::vector<std::string> UnknownProduct(std::vector<std::string> lines) {
    lines.at(1) = WithField(lines.at(1), kRelated, "9.99.999.9999");
    return lines;
}

// A related line whose main product keeps others removed: under "substituir" it goes.
std::vector<std::string> RelatedLineRemoved(std::vector<std::string> lines) {
    for (std::size_t i = 2; i < lines.size(); ++i)
        if (Field(lines[i], kGroup) == Field(lines[i - 1], kGroup) &&
            Field(lines[i], kMain) == Field(lines[i - 1], kMain) &&
            !Field(lines[i], kRelated).empty()) {
            lines.erase(lines.begin() + std::ptrdiff_t(i));
            break;
        }
    return lines;
}

TEST_P(Transfer, ImportPreviewsThenAppliesOnlyOnAplicar) {
    const struct {
        const char* name;
        bool onProducts;
        TEdit edit;
        const char* modeKeys;     // default: incluir
        const char* summaryHas;   // in the preview's summary
        bool canApply;            // Aplicar enabled
        const char* previewKeys;  // Return: the default button
        bool applied;             // the server then holds the edited file
    } cases[] = {
        {"a flag switched, Aplicar", true, FlagSwitched, "Return", "alterar: 1;", true, "Return",
         true},
        {"a flag switched, Cancelar", false, FlagSwitched, "Return", "alterar: 1;", true, "Escape",
         false},
        {"a related line removed under substituir, Aplicar", false, RelatedLineRemoved,
         "Alt+S Return", "excluir: 1;", true, "Alt+A", true},
        {"an unknown product keeps Aplicar disabled", false, UnknownProduct, "Return", "erros: 1",
         false, "Return", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartServer();
        const std::vector<std::string> before = ServerLines();
        const std::vector<std::string> edited = c.edit(before);
        ASSERT_NE(edited, before) << "the edit changed nothing";
        const std::string path = Path("importar.csv");
        WriteTextFile(path, Joined(edited));

        TfrmSugestaoProd& form = OpenScreen();
        if (c.onProducts) TurnToProducts(form, kCafe);
        dialogs.Clear();
        dialogs.QueueFileName(path);
        std::string summary, firstAction;
        bool canApply = false;
        auto look = [&](QDialog& dialog) {
            auto* preview = qobject_cast<TImportPreviewDialog*>(&dialog);
            ASSERT_NE(preview, nullptr) << dialog.windowTitle().toStdString();
            summary = preview->SummaryLabel()->text().toStdString();
            canApply = preview->ApplyButton()->isEnabled();
            const QModelIndex first = preview->Table()->model()->index(0, 2);
            firstAction = first.data().toString().toStdString();
        };
        ChooseFromMenu(form, Qt::Key_T, {{c.modeKeys, {}}, {c.previewKeys, look}});
        EXPECT_NE(summary.find(c.summaryHas), std::string::npos) << summary;
        EXPECT_EQ(canApply, c.canApply);
        if (!c.canApply) {
            EXPECT_EQ(firstAction, "erro") << "errors come first";
        }
        EXPECT_EQ(ServerLines(), c.applied ? edited : before);
        ASSERT_FALSE(dialogs.Log.empty());
        EXPECT_EQ(dialogs.Log.front(), "OpenFileName Importar sugestões");
        if (c.applied) {
            EXPECT_EQ(dialogs.Last().rfind("MessageDlg 2: Importação concluída.", 0), 0u)
                << dialogs.Last();
            if (c.onProducts) ExpectProductsAsOnServer(form);
        } else {
            EXPECT_EQ(dialogs.Log.size(), 1u) << dialogs.Last();
        }
        CloseScreen();
    }
}

// A related product the server refused (its main product deleted meanwhile by another user) is
// work the server does not have: the import asks about it before anything, and Cancelar keeps it.
TEST_P(Transfer, ImportAsksAboutUnsavedWorkFirst) {
    TfrmSugestaoProd& form = OpenScreen();
    TurnToProducts(form, kCafe);
    ClickCell(*form.dbgProdRelac, 0, "NMPRODUTORELAC");
    ASSERT_EQ(other->DeleteMainProduct(kCafe, form.cdsArvProd.FieldByName("CDPRODUTO").AsString()),
              "ok");
    Key(*form.dbgProdRelac, Qt::Key_Insert);
    Type(*form.dbgProdRelac, "1010010001");
    Key(*form.dbgProdRelac, Qt::Key_Tab);
    Key(*form.dbgProdRelac, Qt::Key_F10);
    ASSERT_EQ(form.cdsProdRelac.ChangeCount(), 1) << "the refused save is kept";
    dialogs.Clear();
    dialogs.QueueAnswer(mrCancel);
    ChooseFromMenu(form, Qt::Key_T, {});
    EXPECT_EQ(dialogs.Log, std::vector<std::string>{"MessageDlg 3: Grava as alterações?"});
    EXPECT_EQ(form.cdsProdRelac.ChangeCount(), 1) << "the change stays";
}

E2E_BACKENDS(Transfer);

}  // namespace
