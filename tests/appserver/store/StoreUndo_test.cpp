// A group's history in the screen's words, page by page, and the undo of one save: whole, only
// where its rows are as it left them, itself a save that can be undone once.
#include <regex>
#include <tuple>

#include "StoreFixture.h"
#include "wire/RemoteModule.h"

namespace storetest {
namespace {

class StoreUndo : public StoreTest {
  protected:
    // Products 1..4; group 1 "Café" with main 1 (N, S) and its related 2 (N, S).
    void SetUp() override {
        StoreTest::SetUp();
        if (IsSkipped()) return;
        addProducts(4);
        addGroup("0000000001", "Café", "1");
        addMain("0000000001", productCode(1));
        addRelated("0000000001", productCode(1), productCode(2));
    }

    wire::Packet page(const std::string& group, const std::string& main = "",
                      const std::string& before = "") {
        wire::Packet rows;
        EXPECT_EQ(describe(store->historyPage({group, main, before}, rows)), "ok");
        return rows;
    }
    // The texts of a page, newest first, one a line.
    std::string texts(const wire::Packet& rows) {
        std::string out;
        for (const auto& r : rows.rows) out += *r[5] + "\n";
        return out;
    }
    std::string newestSave() { return *page("0000000001").rows.at(0)[1]; }
    std::string undo(const std::string& save, bool apply, const char* user = "bia") {
        return describe(store->undoSave(save, apply, user));
    }
    // A change of the related product's flags, by user.
    void relatedFlags(const char* was, const char* is, const char* user, const char* totalWas = "S",
                      const char* totalIs = "S") {
        wire::ChangeLog log = relatedLog();
        Values row = {"0000000001", productCode(1), productCode(2), treeCode(2), "", was, totalWas};
        Values changed = row;
        changed[5] = is;
        changed[6] = totalIs;
        modified(log, row, changed);
        ASSERT_EQ(describe(store->applyRelatedProducts(log, {user, "SetProdRelac", "E"})), "ok");
    }
    const std::string related = "Relacionado 1.01.001.0002 de 1.01.001.0001";
};

TEST_P(StoreUndo, TheHistoryIsNewestFirstInTheScreensWordsAndPagedByNumber) {
    relatedFlags("N", "S", "ana");
    wire::ChangeLog rename = groupLog();
    modified(rename, {"0000000001", "Café", "1"}, {"0000000001", "Cafés", "1"});
    ASSERT_EQ(describe(store->applyGroups(rename, {"ana", "SetGrupSegProd", ""})), "ok");
    const wire::Packet first = page("0000000001");
    EXPECT_EQ(texts(first),
              "Grupo 0000000001: Nome: Café → Cafés\n" + related + ": Quantidade: N → S\n" +
                  related + " incluído: Quantidade: N; Totalizador: S\n" +
                  "Principal 1.01.001.0001 incluído: Quantidade: N; Totalizador: S\n" +
                  "Grupo 0000000001 incluído: Nome: Café; Ordem: 1\n");
    static const std::regex local(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)");
    for (const auto& r : first.rows) EXPECT_TRUE(std::regex_match(*r[2], local)) << *r[2];
    EXPECT_EQ(*first.rows[0][3] + " " + *first.rows[0][4], "ana SetGrupSegProd");
    // One main product's list leaves the group's own rows out.
    EXPECT_EQ(texts(page("0000000001", productCode(1))),
              related + ": Quantidade: N → S\n" + related +
                  " incluído: Quantidade: N; Totalizador: S\n" +
                  "Principal 1.01.001.0001 incluído: Quantidade: N; Totalizador: S\n");

    // One save of many entries: a full page, then the rest below its last number.
    wire::ChangeLog toggles = relatedLog();
    const char* flag[] = {"S", "N"};
    for (int i = 0; i < wire::kHistoryPageRows + 5; ++i)
        modified(
            toggles,
            {"0000000001", productCode(1), productCode(2), treeCode(2), "", flag[i % 2], "S"},
            {"0000000001", productCode(1), productCode(2), treeCode(2), "", flag[1 - i % 2], "S"});
    ASSERT_EQ(describe(store->applyRelatedProducts(toggles, kByTest)), "ok");
    const wire::Packet full = page("0000000001");
    ASSERT_EQ(full.rows.size(), static_cast<std::size_t>(wire::kHistoryPageRows));
    const wire::Packet rest = page("0000000001", "", *full.rows.back()[0]);
    ASSERT_EQ(rest.rows.size(), 10u);
    EXPECT_LT(std::stoll(*rest.rows[0][0]), std::stoll(*full.rows.back()[0]));
    EXPECT_EQ(*rest.rows.back()[5], "Grupo 0000000001 incluído: Nome: Café; Ordem: 1");

    wire::Packet refused;
    for (const char* before : {"x", "-1", "0", "99999999999999999999"})
        EXPECT_EQ(describe(store->historyPage({"0000000001", "", before}, refused)),
                  "-32602: Histórico anterior a deve ser o número de uma linha do histórico.")
            << before;
}

TEST_P(StoreUndo, AnUndoIsASaveThatCanBeUndoneOnce) {
    const std::string base = lists();
    relatedFlags("N", "S", "ana");
    const std::string changed = lists(), a = newestSave();
    const std::string revert = related + ": Quantidade: S -> Quantidade: N\n";
    EXPECT_EQ(undo(a, false), "1 alterar " + revert);
    EXPECT_EQ(lists(), changed);
    EXPECT_EQ(undo(a, true), "aplicado\n1 alterar " + revert);
    EXPECT_EQ(lists(), base);
    const std::string b = newestSave();
    EXPECT_EQ(*page("0000000001").rows[0][4], "desfazer");
    EXPECT_EQ(undo(a, true),
              "-32000: A gravação " + a + " já foi desfeita pela gravação " + b + ".");
    EXPECT_EQ(undo(b, true),
              "aplicado\n1 alterar " + related + ": Quantidade: N -> Quantidade: S\n");
    EXPECT_EQ(lists(), changed);
    const std::string c = newestSave();
    EXPECT_EQ(undo(c, false), "-32000: A gravação " + c + " desfaz o desfazimento da gravação " +
                                  b + " e não pode ser desfeita.");
    EXPECT_EQ(undo("99999", true), "-32000: Gravação 99999 não encontrada.");
    EXPECT_EQ(undo("abc", true),
              "-32000: Gravação \"abc\" inválida: informe o número da gravação.");
    EXPECT_EQ(lists(), changed);
}

TEST_P(StoreUndo, ARowChangedSinceRefusesTheUndoNamingWhoChangedIt) {
    relatedFlags("N", "S", "ana");
    const std::string a = newestSave();
    relatedFlags("S", "S", "bia", "S", "N");
    const auto later = page("0000000001").rows.at(0);
    const std::string refusal = "1 erro " + related + " foi alterado depois por bia em " +
                                *later[2] + " (gravação " + *later[1] + ").\n";
    const std::string before = lists();
    EXPECT_EQ(undo(a, false),
              "1 alterar " + related + ": Quantidade: S -> Quantidade: N\n" + refusal);
    EXPECT_EQ(undo(a, true),
              "1 alterar " + related + ": Quantidade: S -> Quantidade: N\n" + refusal);
    EXPECT_EQ(lists(), before);

    // A group the undo would delete got a main product since.
    addGroup("0000000002", "Chá", "2");
    const std::string group = *page("0000000002").rows[0][1];
    addMain("0000000002", productCode(3));
    EXPECT_EQ(undo(group, true),
              "1 excluir Grupo 0000000002 (Nome: Chá; Ordem: 2)\n"
              "1 erro Grupo 0000000002 recebeu depois o principal 0000000003 e "
              "não pode ser excluído pelo desfazer.\n");
}

TEST_P(StoreUndo, AMainProductDeletionAndAnImportAreEachUndoneWhole) {
    const std::string base = lists();
    wire::ChangeLog removal = mainLog();
    deleted(removal, {treeCode(1), productCode(1), "", "0000000001", "N", "S"});
    ASSERT_EQ(describe(store->applyMainProducts(removal, {"ana", "SetArvProd", "D"})), "ok");
    EXPECT_EQ(undo(newestSave(), true),
              "aplicado\n1 incluir " + related + " (Quantidade: N; Totalizador: S)\n" +
                  "2 incluir Principal 1.01.001.0001 (Quantidade: N; Totalizador: S)\n");
    EXPECT_EQ(lists(), base);

    using appserver::ImportStep;
    using appserver::ImportTable;
    std::vector<ImportStep> steps(3);
    for (auto [step, table, log] : {std::tuple{0, ImportTable::Groups, groupLog()},
                                    std::tuple{1, ImportTable::MainProducts, mainLog()},
                                    std::tuple{2, ImportTable::RelatedProducts, relatedLog()}}) {
        steps[step].table = table;
        steps[step].operation = step ? "I" : "";
        steps[step].log = log;
    }
    inserted(steps[0].log, {"0000000002", "Chá", "2"});
    inserted(steps[1].log, {treeCode(3), productCode(3), "", "0000000002", "S", "N"});
    inserted(steps[2].log, {"0000000002", productCode(3), productCode(4), "", "", "N", "N"});
    relatedFlags("N", "S", "ana");
    ASSERT_EQ(describe(store->applyImport(steps, "ana")), "ok");
    const std::string imported = *page("0000000002").rows[0][1];
    EXPECT_EQ(*page("0000000002").rows[2][1], imported);
    const std::string kept = lists();
    EXPECT_EQ(undo(imported, true),
              "aplicado\n1 excluir Grupo 0000000002 (Nome: Chá; Ordem: 2)\n"
              "2 excluir Principal 1.01.001.0003 (Quantidade: S; Totalizador: N)\n"
              "3 excluir Relacionado 1.01.001.0004 de 1.01.001.0003 (Quantidade: N; "
              "Totalizador: N)\n");
    EXPECT_EQ(lists(), kept.substr(0, kept.find("0000000002")));
}

// A database of the version before saves: each history row becomes a save of its own, numbered
// as the row, and the saves made after it continue the numbers.
TEST_P(StoreUndo, EachHistoryRowOfAnOlderDatabaseIsASaveOfItsOwn) {
    store.reset();
    ASSERT_EQ(rawSql("DROP INDEX IX_HISTORY_SAVE; DROP INDEX IX_HISTORY_GROUP_ID; "
                     "DROP INDEX IX_HISTORY_LIST_ID; ALTER TABLE history DROP COLUMN save_id; "
                     "ALTER TABLE history DROP COLUMN main_product; DROP TABLE saves; "
                     "CREATE INDEX IX_HISTORY_GROUP ON history (group_code); "
                     "DROP INDEX IX_PRODRELAC_USO; "
                     "CREATE INDEX IX_PRODRELAC_RELAC ON PRODRELAC (CDPRODUTORELAC); "
                     "UPDATE VLPVERSAO SET NRVERSAO = 2"),
              "");
    auto reopened = appserver::makeStoreFactory(url);
    ASSERT_TRUE(reopened);
    factory = std::move(*reopened);
    store = openAnother();
    ASSERT_TRUE(store);
    const wire::Packet old = page("0000000001");
    ASSERT_EQ(old.rows.size(), 3u);
    for (const auto& r : old.rows) EXPECT_EQ(r[0], r[1]);
    EXPECT_EQ(page("0000000001", productCode(1)).rows.size(), 2u);
    wire::ChangeLog rename = groupLog();
    modified(rename, {"0000000001", "Café", "1"}, {"0000000001", "Cafés", "1"});
    ASSERT_EQ(describe(store->applyGroups(rename, {"ana", "SetGrupSegProd", ""})), "ok");
    EXPECT_GT(std::stoll(newestSave()), std::stoll(*old.rows[0][1]));
    EXPECT_EQ(undo(*old.rows[0][1], true),
              "aplicado\n1 excluir " + related + " (Quantidade: N; Totalizador: S)\n");
}

STORE_BACKENDS(StoreUndo);

}  // namespace
}  // namespace storetest
