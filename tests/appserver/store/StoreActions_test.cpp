// The actions across lists: where a product is used, its replacement or removal everywhere with a
// preview, and the copy of a group; each applied whole as one save, or not at all.
#include "StoreFixture.h"

namespace storetest {
namespace {

using appserver::GroupCopy;

class StoreActions : public StoreTest {
  protected:
    // Group 1 "Café" (order 2): main 1 with related 3; main 2 with related 3 and 6.
    // Group 2 "Chá" (order 1, listed first): main 3 with related 4.
    void SetUp() override {
        StoreTest::SetUp();
        if (IsSkipped()) return;
        addProducts(6);
        addGroup("0000000001", "Café", "2");
        addGroup("0000000002", "Chá", "1");
        addMain("0000000001", productCode(1), "N", "S");
        addMain("0000000001", productCode(2), "N", "S");
        addMain("0000000002", productCode(3), "S", "S");
        addRelated("0000000001", productCode(1), productCode(3), "S", "N");
        addRelated("0000000001", productCode(2), productCode(3), "N", "S");
        addRelated("0000000001", productCode(2), productCode(6), "N", "N");
        addRelated("0000000002", productCode(3), productCode(4), "N", "N");
    }

    std::string whereUsed(int product) {
        wire::Packet rows;
        wire::Status status = store->whereUsed(productCode(product), rows);
        return status ? dump(rows) : describe(status);
    }
    // The saves of a group's history as "save:origin" of each row, newest first.
    std::string saves(const std::string& group) {
        wire::Packet rows;
        EXPECT_EQ(describe(store->historyPage({group, "", ""}, rows)), "ok");
        std::string out;
        for (const auto& r : rows.rows) out += *r[4] + " ";
        return out;
    }
    std::string replace(int from, int to, bool apply) {
        return describe(
            store->replaceProduct(productCode(from), to ? productCode(to) : "", apply, "ana"));
    }
};

TEST_P(StoreActions, WhereUsedListsEveryPlaceByGroupOrderThenTreeCode) {
    struct Case {
        std::string product, rows;
    };
    const Case cases[] = {
        {productCode(3),
         "0000000002|Chá|0000000003|1.01.001.0003|Produto 3|P\n"
         "0000000001|Café|0000000001|1.01.001.0001|Produto 1|R\n"
         "0000000001|Café|0000000002|1.01.001.0002|Produto 2|R\n"},
        {productCode(1), "0000000001|Café|0000000001|1.01.001.0001|Produto 1|P\n"},
        {productCode(5), ""},
        {"9999999999", "-32000: Produto não cadastrado."},
        {"", "-32000: Produto não cadastrado."},
        {"\xff", "-32000: Produto não cadastrado."},
    };
    for (const Case& c : cases) {
        wire::Packet rows;
        wire::Status status = store->whereUsed(c.product, rows);
        EXPECT_EQ(status ? dump(rows) : describe(status), c.rows) << c.product;
    }
}

// Every case is previewed, then asked to apply: one with a refusal applies nothing.
TEST_P(StoreActions, AReplacementPreviewsEveryPlaceAndAppliesNothingWithARefusal) {
    const std::string before = lists();
    const std::string p1 = "grupo 0000000001 (Café)", p2 = "grupo 0000000002 (Chá)";
    struct Case {
        int from, to;
        std::string plan;
    };
    const Case cases[] = {
        {3, 4,
         "1 erro " + p2 +
             ": 1.01.001.0004 é relacionado de 1.01.001.0003 e seria relacionado a "
             "ele mesmo.\n" +
             "2 alterar " + p1 +
             ", relacionado de 1.01.001.0001: 1.01.001.0003 -> 1.01.001.0004\n" + "3 alterar " +
             p1 + ", relacionado de 1.01.001.0002: 1.01.001.0003 -> 1.01.001.0004\n"},
        {3, 1,
         "1 alterar " + p2 + ", principal: 1.01.001.0003 -> 1.01.001.0001\n" + "2 erro " + p1 +
             ": 1.01.001.0001 seria relacionado a ele mesmo (principal 1.01.001.0001).\n" +
             "3 alterar " + p1 +
             ", relacionado de 1.01.001.0002: 1.01.001.0003 -> 1.01.001.0001\n"},
        {3, 6,
         "1 alterar " + p2 + ", principal: 1.01.001.0003 -> 1.01.001.0006\n" + "2 alterar " + p1 +
             ", relacionado de 1.01.001.0001: 1.01.001.0003 -> 1.01.001.0006\n" + "3 erro " + p1 +
             ": 1.01.001.0006 já é relacionado de 1.01.001.0002.\n"},
        {1, 2, "1 erro " + p1 + ": 1.01.001.0002 já é produto principal neste grupo.\n"},
        {9, 2, "-32000: Produto não cadastrado."},
        {1, 9, "-32000: Produto substituto não cadastrado."},
        {1, 1, "-32000: O produto substituto deve ser outro produto."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        EXPECT_EQ(replace(c.from, c.to, false), c.plan);
        EXPECT_EQ(replace(c.from, c.to, true), c.plan);
        EXPECT_EQ(lists(), before);
    }
    EXPECT_EQ(saves("0000000001"), "teste teste teste teste teste teste ");
}

TEST_P(StoreActions, AReplacementMovesEveryListWithItsFlagsAsOneSave) {
    const std::string p1 = "grupo 0000000001 (Café)", p2 = "grupo 0000000002 (Chá)";
    EXPECT_EQ(replace(3, 5, true),
              "aplicado\n1 alterar " + p2 + ", principal: 1.01.001.0003 -> 1.01.001.0005\n" +
                  "2 alterar " + p1 + ", relacionado de 1.01.001.0001: 1.01.001.0003 -> " +
                  "1.01.001.0005\n" + "3 alterar " + p1 +
                  ", relacionado de 1.01.001.0002: 1.01.001.0003 -> 1.01.001.0005\n");
    EXPECT_EQ(lists(),
              "0000000002|Chá|1|1.01.001.0005|S|S|1.01.001.0004|N|N\n"
              "0000000001|Café|2|1.01.001.0001|N|S|1.01.001.0005|S|N\n"
              "0000000001|Café|2|1.01.001.0002|N|S|1.01.001.0005|N|S\n"
              "0000000001|Café|2|1.01.001.0002|N|S|1.01.001.0006|N|N\n");
    EXPECT_EQ(whereUsed(3), "");
    // Group 2: the new main product, its related product, then the old one and its related one.
    EXPECT_EQ(saves("0000000002"),
              "substituição substituição substituição substituição teste teste teste ");
    wire::Packet page;
    ASSERT_EQ(describe(store->historyPage({"0000000001", "", ""}, page)), "ok");
    EXPECT_EQ(page.rows[0][1], page.rows[3][1]) << "one save for every list";

    EXPECT_EQ(replace(5, 0, true),
              "aplicado\n1 excluir " + p2 + ", principal 1.01.001.0005 e seus 1 relacionados\n" +
                  "2 excluir " + p1 + ", relacionado 1.01.001.0005 de 1.01.001.0001\n" +
                  "3 excluir " + p1 + ", relacionado 1.01.001.0005 de 1.01.001.0002\n");
    EXPECT_EQ(lists(),
              "0000000002|Chá|1|-|-|-|-|-|-\n"
              "0000000001|Café|2|1.01.001.0001|N|S|-|-|-\n"
              "0000000001|Café|2|1.01.001.0002|N|S|1.01.001.0006|N|N\n");
}

TEST_P(StoreActions, ACopyTakesEveryListWithItsFlagsAsOneSave) {
    ASSERT_EQ(describe(store->copyGroup({"0000000001", "0000000003", "Cópia", "3"}, "ana")), "ok");
    wire::Packet copy;
    ASSERT_EQ(describe(store->suggestions("0000000003", copy)), "ok");
    EXPECT_EQ(dump(copy),
              "0000000003|Cópia|3|1.01.001.0001|N|S|1.01.001.0003|S|N\n"
              "0000000003|Cópia|3|1.01.001.0002|N|S|1.01.001.0003|N|S\n"
              "0000000003|Cópia|3|1.01.001.0002|N|S|1.01.001.0006|N|N\n");
    EXPECT_EQ(saves("0000000003"), "cópia cópia cópia cópia cópia cópia ");
}

TEST_P(StoreActions, ACopyIsCheckedAsANewGroupAndRefusedWhole) {
    const std::string before = lists();
    struct Case {
        GroupCopy copy;
        std::string outcome;
    };
    const Case cases[] = {
        {{"0000000001", "0000000002", "Outro", "9"}, "-32000: Código já cadastrado."},
        {{"0000000001", "0000000003", " CHÁ", "9"}, "-32000: Nome já cadastrado."},
        {{"0000000001", "0000000003", "Outro", "1"}, "-32000: Ordem já cadastrada."},
        {{"0000000001", "123", "Outro", "9"},
         "-32000: Código do grupo \"123\" inválido: deve ter 10 dígitos."},
        {{"0000000001", "", "Outro", "9"}, "-32000: Código deve ser informado."},
        {{"0000000001", "0000000003", "", "9"}, "-32000: Nome deve ser informado."},
        {{"0000000099", "0000000003", "Outro", "9"}, "-32000: Grupo de origem não cadastrado."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(store->copyGroup(c.copy, "ana")), c.outcome) << c.copy.code;
        EXPECT_EQ(lists(), before);
    }
    EXPECT_EQ(saves("0000000003"), "");
}

STORE_BACKENDS(StoreActions);

}  // namespace
}  // namespace storetest
