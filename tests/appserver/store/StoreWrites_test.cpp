// Change logs applied whole or not at all, entry by entry, with conflicts and refusals.
#include "StoreFixture.h"

namespace storetest {
namespace {

constexpr const char* kConflict =
    "-32001: O registro foi alterado por outro usuário. Atualize a lista e tente novamente.";

class StoreWrites : public StoreTest {
  protected:
    std::string groups() {
        wire::Packet p;
        EXPECT_EQ(describe(store->groups(p)), "ok");
        return dump(p);
    }
    std::string mains(const std::string& group) {
        wire::Packet p;
        EXPECT_EQ(describe(store->mainProducts(group, p)), "ok");
        return dump(p);
    }
    std::string related(const std::string& group, const std::string& main) {
        wire::Packet p;
        EXPECT_EQ(describe(store->relatedProducts(group, main, p)), "ok");
        return dump(p);
    }
    // A main-product row of the record set: tree code and name travel but do not count.
    static Values mainRow(const std::string& group, int product, const char* q, const char* t) {
        return {treeCode(product),
                productCode(product),
                "qualquer",
                group,
                q ? Values::value_type(q) : std::nullopt,
                t ? Values::value_type(t) : std::nullopt};
    }
    static Values relatedRow(const std::string& group, int main, int rel, const char* q,
                             const char* t) {
        return {group,
                productCode(main),
                productCode(rel),
                treeCode(rel),
                "qualquer",
                q ? Values::value_type(q) : std::nullopt,
                t ? Values::value_type(t) : std::nullopt};
    }
};

TEST_P(StoreWrites, GroupsAreInsertedChangedAndDeletedAsTheLogSays) {
    wire::ChangeLog log = groupLog();
    inserted(log, {"0000000001", "Café", "1"});
    inserted(log, {"0000000002", "Festa", "2"});
    modified(log, {"0000000001", "Café", "1"}, {"0000000001", "Café da Manhã", "3"});
    deleted(log, {"0000000002", "Festa", "2"});
    ASSERT_EQ(describe(store->applyGroups(log, kByTest)), "ok");
    EXPECT_EQ(groups(), "0000000001|Café da Manhã|3\n");
}

TEST_P(StoreWrites, AGroupMayChangeTheCaseOfItsOwnName) {
    addGroup("0000000001", "Sugestão", "1");
    wire::ChangeLog log = groupLog();
    modified(log, {"0000000001", "Sugestão", "1"}, {"0000000001", "SUGESTÃO", "1"});
    ASSERT_EQ(describe(store->applyGroups(log, kByTest)), "ok");
    EXPECT_EQ(groups(), "0000000001|SUGESTÃO|1\n");
}

TEST_P(StoreWrites, ChangesOverStaleOrMissingRowsAreConflicts) {
    addGroup("0000000001", "Café", "1");
    wire::ChangeLog stale = groupLog();
    modified(stale, {"0000000001", "Cafe", "1"}, {"0000000001", "Chá", "1"});
    EXPECT_EQ(describe(store->applyGroups(stale, kByTest)), kConflict);

    wire::ChangeLog gone = groupLog();
    deleted(gone, {"0000000009", "Nada", "9"});
    EXPECT_EQ(describe(store->applyGroups(gone, kByTest)), kConflict);

    // Two users read the same row; the second one's change arrives after the first.
    auto other = openAnother();
    wire::ChangeLog first = groupLog();
    modified(first, {"0000000001", "Café", "1"}, {"0000000001", "Café Forte", "1"});
    ASSERT_EQ(describe(other->applyGroups(first, kByTest)), "ok");
    wire::ChangeLog second = groupLog();
    deleted(second, {"0000000001", "Café", "1"});
    EXPECT_EQ(describe(store->applyGroups(second, kByTest)), kConflict);
    EXPECT_EQ(groups(), "0000000001|Café Forte|1\n");
}

TEST_P(StoreWrites, ALogWhoseLastEntryIsRefusedLeavesNothingOfTheOthers) {
    addGroup("0000000001", "Café", "1");
    wire::ChangeLog log = groupLog();
    inserted(log, {"0000000002", "Festa", "2"});
    modified(log, {"0000000001", "Café", "1"}, {"0000000001", "Chá", "1"});
    inserted(log, {"0000000003", "festa", "3"});
    EXPECT_EQ(describe(store->applyGroups(log, kByTest)), "-32000: Nome já cadastrado.");
    EXPECT_EQ(groups(), "0000000001|Café|1\n");

    wire::ChangeLog conflicting = groupLog();
    inserted(conflicting, {"0000000002", "Festa", "2"});
    deleted(conflicting, {"0000000001", "Outro", "1"});
    EXPECT_EQ(describe(store->applyGroups(conflicting, kByTest)), kConflict);
    EXPECT_EQ(groups(), "0000000001|Café|1\n");
}

TEST_P(StoreWrites, ALeftoverFromAFailedSaveTravelsWithTheNextChange) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    // The first save of related product 2 was refused earlier (say the server was down); the
    // record set kept it and now sends it with the insert of product 3.
    wire::ChangeLog log = relatedLog();
    inserted(log, relatedRow("0000000001", 1, 2, "N", "S"));
    inserted(log, relatedRow("0000000001", 1, 3, "N", "S"));
    modified(log, relatedRow("0000000001", 1, 2, "N", "S"),
             relatedRow("0000000001", 1, 2, "S", "S"));
    ASSERT_EQ(describe(store->applyRelatedProducts(log, kByTest)), "ok");
    EXPECT_EQ(related("0000000001", productCode(1)),
              "0000000001|0000000001|0000000002|1.01.001.0002|Produto 2|S|S\n"
              "0000000001|0000000001|0000000003|1.01.001.0003|Produto 3|N|S\n");
}

TEST_P(StoreWrites, MainProductFlagsChangeAndOnlyTheFlags) {
    addProducts(2);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1), "N", "S");
    wire::ChangeLog flags = mainLog();
    modified(flags, mainRow("0000000001", 1, "N", "S"), mainRow("0000000001", 1, "S", nullptr));
    ASSERT_EQ(describe(store->applyMainProducts(flags, kByTest)), "ok");
    EXPECT_EQ(mains("0000000001"), "1.01.001.0001|0000000001|Produto 1|0000000001|S|-\n");

    wire::ChangeLog fromNull = mainLog();
    modified(fromNull, mainRow("0000000001", 1, "S", nullptr), mainRow("0000000001", 1, "S", "N"));
    EXPECT_EQ(describe(store->applyMainProducts(fromNull, kByTest)), "ok");

    wire::ChangeLog otherProduct = mainLog();
    modified(otherProduct, mainRow("0000000001", 1, "S", "N"), mainRow("0000000001", 2, "S", "N"));
    EXPECT_EQ(describe(store->applyMainProducts(otherProduct, kByTest)),
              "-32000: Somente os indicadores Quantidade e Totalizador podem ser alterados.");

    wire::ChangeLog stale = mainLog();
    modified(stale, mainRow("0000000001", 1, "N", "S"), mainRow("0000000001", 1, "N", "N"));
    EXPECT_EQ(describe(store->applyMainProducts(stale, kByTest)), kConflict);
    EXPECT_EQ(mains("0000000001"), "1.01.001.0001|0000000001|Produto 1|0000000001|S|N\n");
}

TEST_P(StoreWrites, DeletingAMainProductDeletesItsRelatedProducts) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    addMain("0000000001", productCode(2));
    addRelated("0000000001", productCode(1), productCode(3));
    addRelated("0000000001", productCode(2), productCode(3));
    wire::ChangeLog log = mainLog();
    deleted(log, mainRow("0000000001", 1, "N", "S"));
    ASSERT_EQ(describe(store->applyMainProducts(log, kByTest)), "ok");
    EXPECT_EQ(mains("0000000001"), "1.01.001.0002|0000000002|Produto 2|0000000001|N|S\n");
    EXPECT_EQ(related("0000000001", productCode(1)), "");
    EXPECT_EQ(related("0000000001", productCode(2)),
              "0000000001|0000000002|0000000003|1.01.001.0003|Produto 3|N|S\n");
    // Re-adding the product starts with no related products.
    addMain("0000000001", productCode(1));
    EXPECT_EQ(related("0000000001", productCode(1)), "");
}

TEST_P(StoreWrites, RelatedProductsAreChangedAndDeletedByTheirWholeKey) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    addRelated("0000000001", productCode(1), productCode(2));
    addRelated("0000000001", productCode(1), productCode(3));
    wire::ChangeLog log = relatedLog();
    modified(log, relatedRow("0000000001", 1, 3, "N", "S"),
             relatedRow("0000000001", 1, 3, "S", "N"));
    deleted(log, relatedRow("0000000001", 1, 2, "N", "S"));
    ASSERT_EQ(describe(store->applyRelatedProducts(log, kByTest)), "ok");
    EXPECT_EQ(related("0000000001", productCode(1)),
              "0000000001|0000000001|0000000003|1.01.001.0003|Produto 3|S|N\n");

    wire::ChangeLog again = relatedLog();
    deleted(again, relatedRow("0000000001", 1, 2, "N", "S"));
    EXPECT_EQ(describe(store->applyRelatedProducts(again, kByTest)), kConflict);
    wire::ChangeLog rekey = relatedLog();
    modified(rekey, relatedRow("0000000001", 1, 3, "S", "N"),
             relatedRow("0000000001", 1, 2, "S", "N"));
    EXPECT_EQ(describe(store->applyRelatedProducts(rekey, kByTest)),
              "-32000: Somente os indicadores Quantidade e Totalizador podem ser alterados.");
}

TEST_P(StoreWrites, ALogForTheWrongRecordSetIsABadPacket) {
    addGroup("0000000001", "Café", "1");
    wire::ChangeLog missing{{{"CDGRUSUGESPROD", 10}, {"NMGRUSUGESPROD", 40}}, {}};
    inserted(missing, {"0000000002", "Festa"});
    EXPECT_EQ(
        describe(store->applyGroups(missing, kByTest)),
        "-32002: O registro de alterações não corresponde a este cadastro: falta o campo NRORDEM.");

    wire::ChangeLog counts = groupLog();
    inserted(counts, {"0000000002", "Festa", "2"});
    inserted(counts, {"0000000003", "Chá"});
    EXPECT_EQ(describe(store->applyGroups(counts, kByTest)),
              "-32002: O registro de alterações não corresponde a este cadastro: a alteração 2 não "
              "tem um "
              "valor por campo.");

    wire::ChangeLog groupsAsMain = groupLog();
    inserted(groupsAsMain, {"0000000002", "Festa", "2"});
    EXPECT_EQ(describe(store->applyMainProducts(groupsAsMain, kByTest)),
              "-32002: O registro de alterações não corresponde a este cadastro: falta o campo "
              "CDPRODUTO.");
    EXPECT_EQ(groups(), "0000000001|Café|1\n");
}

TEST_P(StoreWrites, AnEmptyLogChangesNothingAndSucceeds) {
    EXPECT_EQ(describe(store->applyGroups(groupLog(), kByTest)), "ok");
    EXPECT_EQ(describe(store->applyRelatedProducts(relatedLog(), kByTest)), "ok");
}

STORE_BACKENDS(StoreWrites);

}  // namespace
}  // namespace storetest
