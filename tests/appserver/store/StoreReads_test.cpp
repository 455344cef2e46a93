// What each read answers: fields, rows, order and the normalised tree code.
#include "StoreFixture.h"

namespace storetest {
namespace {

class StoreReads : public StoreTest {
  protected:
    template <class Read>
    wire::Packet answer(Read read) {
        wire::Packet packet;
        wire::Status status = read(packet);
        EXPECT_EQ(describe(status), "ok");
        return packet;
    }
};

// "02" and "2" are the same number; the text then decides.
TEST_P(StoreReads, GroupsComeInNumericOrderOfOrderThenCode) {
    addGroup("0000000003", "Festa", "10");
    addGroup("0000000001", "Café", "2");
    addGroup("0000000002", "Churrasco", "02");
    // Stored before new codes had to be ten digits: still served as it is.
    ASSERT_EQ(rawSql("INSERT INTO GRUSUGESPROD VALUES ('12', 'Limpeza', '9', 'limpeza')"), "");
    auto groups = answer([&](wire::Packet& p) { return store->groups(p); });
    EXPECT_EQ(fieldList(groups), "CDGRUSUGESPROD(10) NMGRUSUGESPROD(40) NRORDEM(4)");
    EXPECT_EQ(dump(groups),
              "0000000002|Churrasco|02\n0000000001|Café|2\n12|Limpeza|9\n0000000003|Festa|10\n");
}

TEST_P(StoreReads, GroupChecksMatchCodeExactlyNameWithoutCaseOrBlanksAndOrderExactly) {
    addGroup("0000000001", "Sugestão de Verão", "1");
    auto byCode = [&](const char* code) {
        return answer([&](wire::Packet& p) { return store->groupsByCode(code, p); });
    };
    auto byName = [&](const char* name) {
        return answer([&](wire::Packet& p) { return store->groupsByName(name, p); });
    };
    auto byOrder = [&](const char* order) {
        return answer([&](wire::Packet& p) { return store->groupsByOrder(order, p); });
    };

    EXPECT_EQ(fieldList(byCode("0000000001")), "CDGRUSUGESPROD(10) NMGRUSUGESPROD(40)");
    EXPECT_EQ(dump(byCode("0000000001")), "0000000001|Sugestão de Verão\n");
    EXPECT_EQ(dump(byCode("1")), "");

    EXPECT_EQ(fieldList(byName("x")), "CDGRUSUGESPROD(10) NMGRUSUGESPROD(40)");
    EXPECT_EQ(dump(byName("  SUGESTÃO DE VERÃO ")), "0000000001|Sugestão de Verão\n");
    EXPECT_EQ(dump(byName("sugestão de verão")), "0000000001|Sugestão de Verão\n");
    EXPECT_EQ(dump(byName("Sugestao de Verao")), "");  // accents still count
    EXPECT_EQ(dump(byName("")), "");

    EXPECT_EQ(fieldList(byOrder("1")), "CDGRUSUGESPROD(10) NMGRUSUGESPROD(40) NRORDEM(4)");
    EXPECT_EQ(dump(byOrder("1")), "0000000001|Sugestão de Verão|1\n");
    EXPECT_EQ(dump(byOrder("01")), "");
}

TEST_P(StoreReads, ProductListsAreOrderedByTreeCodeWithNames) {
    ASSERT_EQ(describe(store->addProduct("0000000009", "2.01.001.0001", "Feijão Preto 1kg")), "ok");
    ASSERT_EQ(describe(store->addProduct("0000000008", "1.01.001.0002", "Arroz Integral 5kg")),
              "ok");
    ASSERT_EQ(describe(store->addProduct("0000000007", "1.01.001.0001", "Arroz Branco 5kg")), "ok");
    auto all = answer([&](wire::Packet& p) { return store->allProducts(p); });
    EXPECT_EQ(fieldList(all), "CDPRODUTO(10) CDARVPROD(20) NMPRODUTO(50)");
    EXPECT_EQ(
        dump(all),
        "0000000007|1.01.001.0001|Arroz Branco 5kg\n0000000008|1.01.001.0002|Arroz Integral 5kg\n"
        "0000000009|2.01.001.0001|Feijão Preto 1kg\n");
    auto candidates =
        answer([&](wire::Packet& p) { return store->candidates("0000000008", "0000000001", p); });
    EXPECT_EQ(fieldList(candidates), "CDPRODUTO(10) CDARVPROD(20) NMPRODUTO(50)");
    EXPECT_EQ(
        dump(candidates),
        "0000000007|1.01.001.0001|Arroz Branco 5kg\n0000000009|2.01.001.0001|Feijão Preto 1kg\n");
}

TEST_P(StoreReads, ProductByTreeCodeNormalisesTheCodeAndWritesItBack) {
    addProducts(2);
    auto find = [&](std::string& code) {
        return answer([&](wire::Packet& p) { return store->productByTreeCode(code, p); });
    };
    std::string exact = "1.01.001.0002";
    EXPECT_EQ(dump(find(exact)), "0000000002|1.01.001.0002|Produto 2\n");
    EXPECT_EQ(fieldList(find(exact)), "CDPRODUTO(10) CDARVPROD(20) NMPRODUTO(50)");

    std::string digits = "1010010001";
    EXPECT_EQ(dump(find(digits)), "0000000001|1.01.001.0001|Produto 1\n");
    EXPECT_EQ(digits, "1.01.001.0001");

    std::string blanks = "  1.01.001.0002 ";
    EXPECT_EQ(dump(find(blanks)), "0000000002|1.01.001.0002|Produto 2\n");
    EXPECT_EQ(blanks, "1.01.001.0002");

    std::string unknown = " 9.99.999.9999 ";
    EXPECT_EQ(dump(find(unknown)), "");
    EXPECT_EQ(unknown, "9.99.999.9999");

    std::string empty = "   ";
    EXPECT_EQ(dump(find(empty)), "");
    EXPECT_EQ(empty, "");
}

TEST_P(StoreReads, MainProductsAndTheirRowChecks) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    addGroup("0000000002", "Festa", "2");
    addMain("0000000001", productCode(3), "S", "N");
    addMain("0000000001", productCode(1));
    addMain("0000000002", productCode(2));

    auto mains = answer([&](wire::Packet& p) { return store->mainProducts("0000000001", p); });
    EXPECT_EQ(fieldList(mains),
              "CDARVPROD(20) CDPRODUTO(10) NMPRODUTO(50) CDGRUSUGESPROD(10) IDQUANTPRODPRINC(1) "
              "IDTOTALPRODPRINC(1)");
    EXPECT_EQ(dump(mains),
              "1.01.001.0001|0000000001|Produto 1|0000000001|N|S\n"
              "1.01.001.0003|0000000003|Produto 3|0000000001|S|N\n");

    std::string code = "1010010003";
    auto rows =
        answer([&](wire::Packet& p) { return store->mainProductRows("0000000001", code, p); });
    EXPECT_EQ(fieldList(rows), "CDARVPROD(20) NMPRODUTO(50) CDPRODUTO(10) CDGRUSUGESPROD(10)");
    EXPECT_EQ(dump(rows), "1.01.001.0003|Produto 3|0000000003|0000000001\n");
    EXPECT_EQ(code, "1.01.001.0003");

    std::string elsewhere = "1.01.001.0002";
    EXPECT_EQ(dump(answer([&](wire::Packet& p) {
                  return store->mainProductRows("0000000001", elsewhere, p);
              })),
              "");
    std::string unknown = "7";
    auto none =
        answer([&](wire::Packet& p) { return store->mainProductRows("0000000001", unknown, p); });
    EXPECT_EQ(fieldList(none), "CDARVPROD(20) NMPRODUTO(50) CDPRODUTO(10) CDGRUSUGESPROD(10)");
    EXPECT_EQ(dump(none), "");
}

TEST_P(StoreReads, RelatedProductsAndTheirRowChecks) {
    addProducts(4);
    addGroup("0000000001", "Café", "1");
    addGroup("0000000002", "Festa", "2");
    addMain("0000000001", productCode(1));
    addMain("0000000002", productCode(1));
    addRelated("0000000001", productCode(1), productCode(4), "S", "S");
    addRelated("0000000001", productCode(1), productCode(2));
    addRelated("0000000002", productCode(1), productCode(3));

    auto related = answer(
        [&](wire::Packet& p) { return store->relatedProducts("0000000001", productCode(1), p); });
    EXPECT_EQ(
        fieldList(related),
        "CDGRUSUGESPROD(10) CDPRODUTO(10) CDPRODUTORELAC(10) CDARVPRODRELAC(20) NMPRODUTORELAC(50) "
        "IDQUANTPROD(1) IDTOTALPROD(1)");
    EXPECT_EQ(dump(related),
              "0000000001|0000000001|0000000002|1.01.001.0002|Produto 2|N|S\n"
              "0000000001|0000000001|0000000004|1.01.001.0004|Produto 4|S|S\n");

    std::string code = " 1010010004";
    auto rows = answer(
        [&](wire::Packet& p) { return store->relatedRows("0000000001", productCode(1), code, p); });
    EXPECT_EQ(fieldList(rows), "CDPRODUTO(10) NMPRODUTO(50)");
    EXPECT_EQ(dump(rows), "0000000004|Produto 4\n");
    EXPECT_EQ(code, "1.01.001.0004");

    std::string otherGroup = "1.01.001.0003";
    EXPECT_EQ(dump(answer([&](wire::Packet& p) {
                  return store->relatedRows("0000000001", productCode(1), otherGroup, p);
              })),
              "");
}

TEST_P(StoreReads, MetacharactersAndForeignTextAreStoredAndFoundLiterally) {
    const std::string name = "Ação'; DROP TABLE PRODUTO; -- %_\\\"ü€😀";
    ASSERT_EQ(describe(store->addProduct("0000000001", "1.01.001.0001", name)), "ok");
    addGroup("0000000001", "O'Brien % _ \\ ; --", "1");
    auto all = answer([&](wire::Packet& p) { return store->allProducts(p); });
    EXPECT_EQ(dump(all), "0000000001|1.01.001.0001|" + name + "\n");
    EXPECT_EQ(dump(answer(
                  [&](wire::Packet& p) { return store->groupsByName("o'brien % _ \\ ; --", p); })),
              "0000000001|O'Brien % _ \\ ; --\n");
    EXPECT_EQ(dump(answer([&](wire::Packet& p) { return store->groupsByName("%", p); })), "");
    EXPECT_EQ(dump(answer(
                  [&](wire::Packet& p) { return store->groupsByCode(std::string("0\0", 2), p); })),
              "");
    EXPECT_EQ(dump(answer([&](wire::Packet& p) { return store->groupsByCode("\xff\xfe", p); })),
              "");
}

TEST_P(StoreReads, ASinkThatRefusesARowStopsTheReadWithItsStatus) {
    addProducts(5);
    struct Refusing : wire::Packet {
        wire::Status onRow(std::span<const wire::ValueView> values) override {
            if (rows.size() == 2) return {wire::ErrorCode::TooLarge, "cheio"};
            return Packet::onRow(values);
        }
    } sink;
    EXPECT_EQ(describe(store->allProducts(sink)), "-32003: cheio");
    EXPECT_EQ(sink.rows.size(), 2u);
    // The connection is still usable afterwards.
    EXPECT_EQ(dump(answer([&](wire::Packet& p) { return store->groupsByCode("x", p); })), "");
}

STORE_BACKENDS(StoreReads);

}  // namespace
}  // namespace storetest
