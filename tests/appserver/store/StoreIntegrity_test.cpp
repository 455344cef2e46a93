// Every rule refuses with its message, and the database itself holds the rules when the store is
// bypassed.
#include "StoreFixture.h"
#include "store/ConstraintMessages.h"

namespace storetest {
namespace {

class StoreIntegrity : public StoreTest {
  protected:
    std::string insertGroup(Values values) {
        wire::ChangeLog log = groupLog();
        inserted(log, std::move(values));
        return describe(store->applyGroups(log, kByTest));
    }
    std::string insertMain(const std::string& group, const std::string& product,
                           Values::value_type q = "N") {
        wire::ChangeLog log = mainLog();
        inserted(log, {std::nullopt, product, std::nullopt, group, q, "S"});
        return describe(store->applyMainProducts(log, kByTest));
    }
    std::string insertRelated(const std::string& group, const std::string& main,
                              const std::string& rel, Values::value_type t = "S") {
        wire::ChangeLog log = relatedLog();
        inserted(log, {group, main, rel, std::nullopt, std::nullopt, "N", t});
        return describe(store->applyRelatedProducts(log, kByTest));
    }
};

TEST_P(StoreIntegrity, GroupCodeNameAndOrderAreUniqueInTheScreensOrder) {
    addGroup("0000000001", "Sugestão", "1");
    EXPECT_EQ(insertGroup({"0000000001", "Outro", "2"}), "-32000: Código já cadastrado.");
    EXPECT_EQ(insertGroup({"0000000002", " SUGESTÃO  ", "2"}), "-32000: Nome já cadastrado.");
    EXPECT_EQ(insertGroup({"0000000002", "Outro", "1"}), "-32000: Ordem já cadastrada.");
    EXPECT_EQ(insertGroup({"0000000001", "sugestão", "1"}), "-32000: Código já cadastrado.");
    EXPECT_EQ(insertGroup({"0000000002", "Sugestao", "2"}),
              "ok");  // another word without the accent

    addGroup("0000000003", "Festa", "3");
    wire::ChangeLog rename = groupLog();
    modified(rename, {"0000000003", "Festa", "3"}, {"0000000003", "sugestão", "3"});
    EXPECT_EQ(describe(store->applyGroups(rename, kByTest)), "-32000: Nome já cadastrado.");
    wire::ChangeLog reorder = groupLog();
    modified(reorder, {"0000000003", "Festa", "3"}, {"0000000003", "Festa", "1"});
    EXPECT_EQ(describe(store->applyGroups(reorder, kByTest)), "-32000: Ordem já cadastrada.");
    wire::ChangeLog recode = groupLog();
    modified(recode, {"0000000003", "Festa", "3"}, {"0000000001", "Festa", "3"});
    EXPECT_EQ(describe(store->applyGroups(recode, kByTest)), "-32000: Código já cadastrado.");
}

TEST_P(StoreIntegrity, RequiredValuesSizesInCharactersAndFlags) {
    EXPECT_EQ(insertGroup({"", "Nome", "1"}), "-32000: Código deve ser informado.");
    EXPECT_EQ(insertGroup({std::nullopt, "Nome", "1"}), "-32000: Código deve ser informado.");
    EXPECT_EQ(insertGroup({"0000000001", "   ", "1"}), "-32000: Nome deve ser informado.");
    EXPECT_EQ(insertGroup({"0000000001", "Nome", std::nullopt}),
              "-32000: Ordem deve ser informada.");
    EXPECT_EQ(insertGroup({"00000000011", "Nome", "1"}),
              "-32000: Código deve ter no máximo 10 caracteres.");
    EXPECT_EQ(insertGroup({"0000000001", "Nome", "12345"}),
              "-32000: Ordem deve ter no máximo 4 caracteres.");
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += "ã";  // 80 bytes, 40 characters
    EXPECT_EQ(insertGroup({"0000000001", forty + "a", "1"}),
              "-32000: Nome deve ter no máximo 40 caracteres.");
    EXPECT_EQ(insertGroup({"0000000001", forty, "1"}), "ok");
    EXPECT_EQ(insertGroup({"0000000002", std::string("Nu\0l", 4), "2"}),
              "-32000: Nome contém um caractere inválido.");

    addProducts(2);
    EXPECT_EQ(insertMain("0000000001", productCode(1), "s"),
              "-32000: Quantidade deve ser \"S\" ou \"N\".");
    EXPECT_EQ(insertMain("0000000001", productCode(1), ""),
              "-32000: Quantidade deve ser \"S\" ou \"N\".");
    EXPECT_EQ(insertMain("0000000001", productCode(1), std::nullopt), "ok");
    EXPECT_EQ(insertRelated("0000000001", productCode(1), productCode(2), "X"),
              "-32000: Totalizador deve ser \"S\" ou \"N\".");
    EXPECT_EQ(insertMain("0000000001", ""), "-32000: Produto deve ser informado.");
}

// A code written now is ten ASCII digits, checked before uniqueness; groups stored earlier with
// other codes are still renamed, re-coded and deleted. Each log opens with a valid insert that a
// refusal must take down with it.
TEST_P(StoreIntegrity, NewOrChangedGroupCodesAreTenAsciiDigits) {
    ASSERT_EQ(rawSql("INSERT INTO GRUSUGESPROD VALUES ('12', 'Limpeza', '9', 'limpeza'), "
                     "('A1', 'Avulso', '8', 'avulso')"),
              "");
    addGroup("0000000001", "Café", "1");
    auto refused = [](const std::string& code) {
        return "-32000: Código do grupo \"" + code + "\" inválido: deve ter 10 dígitos.";
    };
    struct Case {
        const char* what;
        Values before, after;  // an insert without before, a deletion without after
        std::string outcome;
    };
    const Case cases[] = {
        {"letter", {}, {"112a      ", "Festa", "2"}, refused("112a      ")},
        {"short", {}, {"12", "Festa", "2"}, refused("12")},
        {"blank first", {}, {" 000000012", "Festa", "2"}, refused(" 000000012")},
        {"non-ASCII digit", {}, {"000000001٢", "Festa", "2"}, refused("000000001٢")},
        {"ten digits", {}, {"0000000012", "Festa", "2"}, "ok"},
        {"to a stored bad code", {"0000000001", "Café", "1"}, {"12", "Café", "1"}, refused("12")},
        {"rename keeping a bad code", {"12", "Limpeza", "9"}, {"12", "Limpeza Geral", "9"}, "ok"},
        {"bad code to ten digits",
         {"12", "Limpeza Geral", "9"},
         {"0000000013", "Limpeza Geral", "9"},
         "ok"},
        {"delete a bad code", {"A1", "Avulso", "8"}, {}, "ok"},
    };
    int n = 100;
    for (const Case& c : cases) {
        wire::ChangeLog log = groupLog();
        ++n;
        inserted(log, {productCode(n), "Prévia " + std::to_string(n), std::to_string(n)});
        if (c.before.empty())
            inserted(log, c.after);
        else if (c.after.empty())
            deleted(log, c.before);
        else
            modified(log, c.before, c.after);
        EXPECT_EQ(describe(store->applyGroups(log, kByTest)), c.outcome) << c.what;
    }
    wire::Packet groups;
    ASSERT_EQ(describe(store->groups(groups)), "ok");
    EXPECT_EQ(dump(groups),
              "0000000001|Café|1\n0000000012|Festa|2\n0000000013|Limpeza Geral|9\n"
              "0000000105|Prévia 105|105\n0000000107|Prévia 107|107\n"
              "0000000108|Prévia 108|108\n0000000109|Prévia 109|109\n");
}

TEST_P(StoreIntegrity, ProductsMustExistAndAppearOncePerGroupAndMainProduct) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    EXPECT_EQ(insertMain("0000000001", "0000000099"), "-32000: Produto não cadastrado.");
    EXPECT_EQ(insertMain("0000000099", productCode(1)), "-32000: Grupo não cadastrado.");
    EXPECT_EQ(insertMain("0000000001", productCode(1)), "ok");
    EXPECT_EQ(insertMain("0000000001", productCode(1)), "-32000: Produto já cadastrado.");

    EXPECT_EQ(insertRelated("0000000001", productCode(1), "0000000099"),
              "-32000: Produto não cadastrado.");
    EXPECT_EQ(insertRelated("0000000001", productCode(2), productCode(3)),
              "-32000: Produto principal não cadastrado neste grupo.");
    EXPECT_EQ(insertRelated("0000000001", productCode(1), productCode(1)),
              "-32000: Um produto não pode ser relacionado a ele mesmo.");
    EXPECT_EQ(insertRelated("0000000001", productCode(1), productCode(2)), "ok");
    EXPECT_EQ(insertRelated("0000000001", productCode(1), productCode(2)),
              "-32000: Produto já cadastrado.");

    EXPECT_EQ(describe(store->addProduct(productCode(1), "9.99.999.9999", "Outro")),
              "-32000: Produto já cadastrado.");
    EXPECT_EQ(describe(store->addProduct("0000000098", treeCode(1), "Outro")),
              "-32000: Código de árvore do produto já cadastrado.");
}

// Whatever entry carries it, a self-relation is refused before the database sees it and the
// log's other entries are dropped with it; the database's own check words the same refusal.
TEST_P(StoreIntegrity, AProductIsNeverRelatedToItself) {
    const std::string group = "0000000001", p1 = productCode(1), p2 = productCode(2),
                      p3 = productCode(3);
    addProducts(3);
    addGroup(group, "Café", "1");
    addMain(group, p1);
    addRelated(group, p1, p2);
    auto row = [&](const std::string& rel, const char* quantity) -> Values {
        return {group, p1, rel, std::nullopt, std::nullopt, quantity, "S"};
    };
    struct Case {
        const char* what;
        wire::ChangeLog log;
    };
    std::vector<Case> cases(4, Case{"", relatedLog()});
    cases[0].what = "insert";
    inserted(cases[0].log, row(p1, "N"));
    cases[1].what = "insert after a valid insert";
    inserted(cases[1].log, row(p3, "N"));
    inserted(cases[1].log, row(p1, "N"));
    cases[2].what = "flags of a row that cannot exist, after a valid change";
    modified(cases[2].log, row(p2, "N"), row(p2, "S"));
    modified(cases[2].log, row(p1, "N"), row(p1, "S"));
    cases[3].what = "a row re-keyed onto itself";
    modified(cases[3].log, row(p2, "N"), row(p1, "N"));

    const std::string itself = "-32000: Um produto não pode ser relacionado a ele mesmo.";
    for (const Case& c : cases)
        EXPECT_EQ(describe(store->applyRelatedProducts(c.log, kByTest)), itself) << c.what;
    wire::Packet related;
    ASSERT_EQ(describe(store->relatedProducts(group, p1, related)), "ok");
    EXPECT_EQ(dump(related), "0000000001|0000000001|0000000002|1.01.001.0002|Produto 2|N|S\n");

    static const appserver::Query kSelfInsert{
        "INSERT INTO PRODRELAC (CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, "
        "IDTOTALPROD) VALUES ($1, $2, $2, 'N', 'S')"};
    auto conn = openConnection();
    ASSERT_TRUE(conn);
    wire::ValueView params[] = {group, p1};
    EXPECT_EQ(
        describe(appserver::ConstraintMessages::describe(conn->run(kSelfInsert, params, nullptr))),
        itself);
}

TEST_P(StoreIntegrity, AGroupWithMainProductsCannotBeDeletedButItsCodeMayChange) {
    addProducts(2);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    addRelated("0000000001", productCode(1), productCode(2));
    wire::ChangeLog remove = groupLog();
    deleted(remove, {"0000000001", "Café", "1"});
    EXPECT_EQ(describe(store->applyGroups(remove, kByTest)),
              "-32000: O grupo possui produtos principais e não pode ser excluído. Exclua os "
              "produtos primeiro.");

    wire::ChangeLog recode = groupLog();
    modified(recode, {"0000000001", "Café", "1"}, {"0000000005", "Café", "1"});
    ASSERT_EQ(describe(store->applyGroups(recode, kByTest)), "ok");
    wire::Packet related;
    ASSERT_EQ(describe(store->relatedProducts("0000000005", productCode(1), related)), "ok");
    EXPECT_EQ(dump(related), "0000000005|0000000001|0000000002|1.01.001.0002|Produto 2|N|S\n");
}

TEST_P(StoreIntegrity, TheDatabaseRefusesOrphansDuplicatesAndBadValuesByItself) {
    addProducts(2);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    // Each of these bypasses the store and must fail in the database.
    const char* refused[] = {
        "INSERT INTO PRODPRINC VALUES ('0000000009', '0000000001', 'N', 'S')",
        "INSERT INTO PRODPRINC VALUES ('0000000001', '0000000009', 'N', 'S')",
        "INSERT INTO PRODPRINC VALUES ('0000000001', '0000000002', 'X', 'S')",
        "INSERT INTO PRODRELAC VALUES ('0000000001', '0000000002', '0000000001', 'N', 'S')",
        "INSERT INTO PRODRELAC VALUES ('0000000001', '0000000001', '0000000001', 'N', 'S')",
        "INSERT INTO PRODRELAC VALUES ('0000000001', '0000000001', '0000000002', 'N', 's')",
        "INSERT INTO GRUSUGESPROD VALUES ('0000000002', 'Outro', '1', 'outro')",
        "INSERT INTO GRUSUGESPROD VALUES ('0000000002', 'CAFÉ', '2', 'café')",
        "INSERT INTO GRUSUGESPROD VALUES ('00000000022', 'Outro', '2', 'outro')",
        "INSERT INTO GRUSUGESPROD VALUES ('', 'Outro', '2', 'outro')",
        "INSERT INTO PRODUTO VALUES ('0000000003', '1.01.001.0001', 'x', '1010010001')",
        "DELETE FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = '0000000001'",
        "DELETE FROM PRODUTO WHERE CDPRODUTO = '0000000001'",
    };
    for (const char* sql : refused) EXPECT_NE(rawSql(sql), "") << sql;
    EXPECT_EQ(rawSql("INSERT INTO GRUSUGESPROD VALUES ('0000000002', 'Ação ação ação ação ação "
                     "ação ação ações', '2', 'x')"),
              "");  // 40 characters, 56 bytes
}

STORE_BACKENDS(StoreIntegrity);

}  // namespace
}  // namespace storetest
