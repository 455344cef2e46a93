// The demo catalogue: realistic, deterministic, and never poured over existing data.
#include <regex>
#include <set>

#include "StoreFixture.h"
#include "store/DemoCatalogue.h"
#include "wire/FieldDef.h"

namespace storetest {
namespace {

TEST(DemoCatalogue, IsTheSameEveryTimeAndFitsTheFieldsAndTheEditMask) {
    auto built = appserver::DemoCatalogue::build();
    ASSERT_TRUE(built) << built.status().message();
    const auto& demo = *built;
    EXPECT_EQ(demo.products, appserver::DemoCatalogue::build()->products);
    EXPECT_EQ(demo.relatedProducts, appserver::DemoCatalogue::build()->relatedProducts);
    EXPECT_GE(demo.products.changes.size(), 4500u);
    EXPECT_LE(demo.products.changes.size(), 5500u);
    const std::regex mask(R"(\d\.\d\d\.\d\d\d\.\d\d\d\d)");
    const std::regex code(R"(\d{10})");
    std::set<std::string> codes, trees, names;
    for (const auto& change : demo.products.changes) {
        const auto& v = change.newValues;
        EXPECT_TRUE(std::regex_match(*v[0], code)) << *v[0];
        EXPECT_TRUE(std::regex_match(*v[1], mask)) << *v[1];
        EXPECT_LE(wire::utf8Length(*v[2]), 50u) << *v[2];
        codes.insert(*v[0]);
        trees.insert(*v[1]);
        names.insert(*v[2]);
    }
    EXPECT_EQ(codes.size(), demo.products.changes.size());
    EXPECT_EQ(trees.size(), demo.products.changes.size());
    EXPECT_EQ(names.size(), demo.products.changes.size());
    EXPECT_GE(demo.groups.changes.size(), 3u);
    EXPECT_GE(demo.mainProducts.changes.size(), demo.groups.changes.size());
    EXPECT_GE(demo.relatedProducts.changes.size(), demo.mainProducts.changes.size());
}

TEST(DemoCatalogue, AFamilyNoProductBelongsToIsAnErrorNamingIt) {
    // A slip in the group tables once read the first code of an empty list.
    struct Case {
        appserver::DemoGroup group;
        const char* error;  // empty: builds
    } cases[] = {
        {{"Certo", {"Arroz"}, {"Feijão"}}, ""},
        {{"Principal", {"Arroz Doce"}, {"Feijão"}},
         "Catálogo de demonstração: a família \"Arroz Doce\" do grupo \"Principal\" não tem "
         "produtos."},
        {{"Relacionado", {"Arroz"}, {"Feijao"}},
         "Catálogo de demonstração: a família \"Feijao\" do grupo \"Relacionado\" não tem "
         "produtos."},
    };
    for (const Case& c : cases) {
        auto built = appserver::DemoCatalogue::build(std::span(&c.group, 1));
        EXPECT_EQ(built ? "" : describe(built.status()),
                  *c.error ? "-32603: " + std::string(c.error) : "")
            << c.group.name;
    }
}

class StoreSeed : public StoreTest {
  protected:
    std::string everything() {
        std::string out;
        wire::Packet groups, products;
        EXPECT_EQ(describe(store->groups(groups)), "ok");
        EXPECT_EQ(describe(store->allProducts(products)), "ok");
        out += dump(groups) + dump(products);
        for (const auto& g : groups.rows) {
            wire::Packet mains;
            EXPECT_EQ(describe(store->mainProducts(*g[0], mains)), "ok");
            out += dump(mains);
            for (const auto& m : mains.rows) {
                wire::Packet related;
                EXPECT_EQ(describe(store->relatedProducts(*g[0], *m[1], related)), "ok");
                out += dump(related);
            }
        }
        return out;
    }
};

TEST_P(StoreSeed, FillsAnEmptyDatabaseOnceAndTheSameWay) {
    ASSERT_EQ(describe(store->seedDemo()), "ok");
    std::string first = everything();
    wire::Packet groups;
    ASSERT_EQ(describe(store->groups(groups)), "ok");
    EXPECT_GE(groups.rows.size(), 3u);
    EXPECT_EQ(dump(groups).substr(0, dump(groups).find('\n') + 1), "0000000001|Café da Manhã|1\n");

    // Seeding again, from another connection, changes nothing.
    auto other = openAnother();
    ASSERT_EQ(describe(other->seedDemo()), "ok");
    EXPECT_EQ(everything(), first);

    std::string tree = "1010010001";
    wire::Packet product;
    ASSERT_EQ(describe(store->productByTreeCode(tree, product)), "ok");
    EXPECT_EQ(dump(product), "0000000001|1.01.001.0001|Arroz Branco Tipo 1 Bom Grão 1kg\n");
}

TEST_P(StoreSeed, NeverTouchesADatabaseThatHasData) {
    addGroup("0000000007", "Meu Grupo", "1");
    ASSERT_EQ(describe(store->seedDemo()), "ok");
    wire::Packet groups, products;
    ASSERT_EQ(describe(store->groups(groups)), "ok");
    ASSERT_EQ(describe(store->allProducts(products)), "ok");
    EXPECT_EQ(dump(groups), "0000000007|Meu Grupo|1\n");
    EXPECT_EQ(dump(products), "");
}

STORE_BACKENDS(StoreSeed);

}  // namespace
}  // namespace storetest
