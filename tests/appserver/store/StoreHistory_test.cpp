// Every entry a write applies leaves one history row in the same transaction: who, through which
// method and operation, what kind of entry, the row's group and the row before and after.
#include <algorithm>
#include <regex>

#include "StoreFixture.h"

namespace storetest {
namespace {

using appserver::ChangeOrigin;
using appserver::HistoryFilter;

class StoreHistory : public StoreTest {
  protected:
    // The rows as "user|method|operation|kind|group|old|new" lines, after checking that each
    // time is UTC with milliseconds and each save a number; saves receives the saves numbered
    // from 1 in the order they first appear ("1 1 2 ").
    std::string history(const HistoryFilter& filter = {}, std::string* saves = nullptr) {
        static const std::regex utc(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");
        wire::Packet p;
        EXPECT_EQ(describe(store->history(filter, p)), "ok");
        std::vector<std::string> seen;
        for (auto& row : p.rows) {
            EXPECT_TRUE(row[0] && std::regex_match(*row[0], utc)) << row[0].value_or("null");
            const std::string save = row.back().value_or("null");
            EXPECT_TRUE(std::regex_match(save, std::regex(R"(\d+)"))) << save;
            if (std::find(seen.begin(), seen.end(), save) == seen.end()) seen.push_back(save);
            if (saves)
                *saves +=
                    std::to_string(std::find(seen.begin(), seen.end(), save) - seen.begin() + 1) +
                    " ";
            row.erase(row.begin());
            row.pop_back();
        }
        return dump(p);
    }
    // Gives row number n (in the order written) the time 2026-01-0n, so filters and order can be
    // tested on known times.
    void retime() {
        ASSERT_EQ(rawSql("UPDATE history SET at_utc = '2026-01-0' || id || 'T00:00:00.000Z'"), "");
    }
};

Values mainRow(int product, const char* quantity, const char* total) {
    return {treeCode(product),
            productCode(product),
            "travels for the screen",
            "0000000001",
            quantity ? Values::value_type(quantity) : std::nullopt,
            total ? Values::value_type(total) : std::nullopt};
}

Values relatedRow(const char* quantity) {
    return {"0000000001", productCode(1), productCode(2), treeCode(2), "Produto 2", quantity, "S"};
}

TEST_P(StoreHistory, EachEntryOfEachMethodIsRecordedWithItsOrigin) {
    addProducts(2);
    struct Step {
        wire::ChangeLog log;
        ChangeOrigin origin;
    };
    Step steps[] = {
        {groupLog(), {"ana", "SetGrupSegProd", ""}},
        {mainLog(), {"ana", "SetArvProd", "I"}},
        {relatedLog(), {"bia", "SetProdRelac", "I"}},
        {relatedLog(), {"bia", "SetProdRelac", "E"}},
        {relatedLog(), {"local", "SetProdRelac", "D"}},
        {mainLog(), {"local", "SetArvProd", "E"}},
        {mainLog(), {"local", "SetArvProd", "D"}},
    };
    inserted(steps[0].log, {"0000000001", "Café", "1"});
    inserted(steps[0].log, {"0000000002", "Chá \"verde\"", "2"});
    modified(steps[0].log, {"0000000002", "Chá \"verde\"", "2"}, {"0000000003", "Chá", "3"});
    deleted(steps[0].log, {"0000000003", "Chá", "3"});
    inserted(steps[1].log, mainRow(1, "N", "S"));
    inserted(steps[2].log, relatedRow("N"));
    modified(steps[3].log, relatedRow("N"), relatedRow("S"));
    deleted(steps[4].log, relatedRow("S"));
    modified(steps[5].log, mainRow(1, "N", "S"), mainRow(1, "S", nullptr));
    deleted(steps[6].log, mainRow(1, "S", nullptr));
    int n = 0;
    for (const Step& s : steps) {
        ++n;
        auto apply = s.origin.method == "SetGrupSegProd" ? &appserver::Store::applyGroups
                     : s.origin.method == "SetArvProd"   ? &appserver::Store::applyMainProducts
                                                         : &appserver::Store::applyRelatedProducts;
        ASSERT_EQ(describe(((*store).*apply)(s.log, s.origin)), "ok") << "step " << n;
    }
    const std::string group =
        R"({"CDGRUSUGESPROD":"0000000001","NMGRUSUGESPROD":"Café","NRORDEM":"1"})";
    const std::string green =
        R"({"CDGRUSUGESPROD":"0000000002","NMGRUSUGESPROD":"Chá \"verde\"","NRORDEM":"2"})";
    const std::string tea =
        R"({"CDGRUSUGESPROD":"0000000003","NMGRUSUGESPROD":"Chá","NRORDEM":"3"})";
    // Only the fields written are kept: tree code and name travel for the screen alone.
    const std::string mainNS =
        R"({"CDGRUSUGESPROD":"0000000001","CDPRODUTO":"0000000001","IDQUANTPRODPRINC":"N","IDTOTALPRODPRINC":"S"})";
    const std::string mainS =
        R"({"CDGRUSUGESPROD":"0000000001","CDPRODUTO":"0000000001","IDQUANTPRODPRINC":"S","IDTOTALPRODPRINC":null})";
    auto related = [](const char* q) {
        return R"({"CDGRUSUGESPROD":"0000000001","CDPRODUTO":"0000000001","CDPRODUTORELAC":"0000000002","IDQUANTPROD":")" +
               std::string(q) + R"(","IDTOTALPROD":"S"})";
    };
    // Each call is one save, whatever number of entries it wrote.
    std::string saves;
    history({}, &saves);
    EXPECT_EQ(saves, "1 1 1 1 2 3 4 5 6 7 ");
    EXPECT_EQ(history(), "ana|SetGrupSegProd||insert|0000000001|-|" + group + "\n" +
                             "ana|SetGrupSegProd||insert|0000000002|-|" + green + "\n" +
                             "ana|SetGrupSegProd||modify|0000000003|" + green + "|" + tea + "\n" +
                             "ana|SetGrupSegProd||delete|0000000003|" + tea + "|-\n" +
                             "ana|SetArvProd|I|insert|0000000001|-|" + mainNS + "\n" +
                             "bia|SetProdRelac|I|insert|0000000001|-|" + related("N") + "\n" +
                             "bia|SetProdRelac|E|modify|0000000001|" + related("N") + "|" +
                             related("S") + "\n" + "local|SetProdRelac|D|delete|0000000001|" +
                             related("S") + "|-\n" + "local|SetArvProd|E|modify|0000000001|" +
                             mainNS + "|" + mainS + "\n" + "local|SetArvProd|D|delete|0000000001|" +
                             mainS + "|-\n");
}

// Deleting a main product deletes its related products; each leaves a delete row of its own, as
// SetProdRelac would have written it, in the same save. Other groups' and products' stay.
TEST_P(StoreHistory, EachRelatedProductDeletedWithItsMainProductHasItsOwnRow) {
    addProducts(4);
    addGroup("0000000001", "Café", "1");
    addGroup("0000000002", "Chá", "2");
    addMain("0000000001", productCode(1));
    addMain("0000000002", productCode(1));
    addMain("0000000001", productCode(4));
    addRelated("0000000001", productCode(1), productCode(3), "S", "N");
    addRelated("0000000001", productCode(1), productCode(2));
    addRelated("0000000002", productCode(1), productCode(2));
    addRelated("0000000001", productCode(4), productCode(2));
    const std::string before = history();
    wire::ChangeLog log = mainLog();
    deleted(log, mainRow(1, "N", "S"));
    ASSERT_EQ(describe(store->applyMainProducts(log, {"ana", "SetArvProd", "D"})), "ok");
    auto deletion = [](const std::string& old) {
        return "ana|SetArvProd|D|delete|0000000001|" + old + "|-\n";
    };
    const std::string related =
        R"({"CDGRUSUGESPROD":"0000000001","CDPRODUTO":"0000000001","CDPRODUTORELAC":)";
    EXPECT_EQ(
        history(),
        before + deletion(related + R"("0000000002","IDQUANTPROD":"N","IDTOTALPROD":"S"})") +
            deletion(related + R"("0000000003","IDQUANTPROD":"S","IDTOTALPROD":"N"})") +
            deletion(
                R"({"CDGRUSUGESPROD":"0000000001","CDPRODUTO":"0000000001","IDQUANTPRODPRINC":"N","IDTOTALPRODPRINC":"S"})"));
    wire::Packet left;
    ASSERT_EQ(describe(store->relatedProducts("0000000002", productCode(1), left)), "ok");
    EXPECT_EQ(left.rows.size(), 1u);
    ASSERT_EQ(describe(store->relatedProducts("0000000001", productCode(4), left)), "ok");
    EXPECT_EQ(left.rows.size(), 1u);
}

TEST_P(StoreHistory, ARefusedLogLeavesNoHistory) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    addRelated("0000000001", productCode(1), productCode(3));
    ASSERT_EQ(rawSql("DELETE FROM history"), "");
    const ChangeOrigin origin{"ana", "SetGrupSegProd", ""};
    // In each log the first entry is fine and the last one is refused.
    wire::ChangeLog duplicateName = groupLog();
    inserted(duplicateName, {"0000000002", "Chá", "2"});
    inserted(duplicateName, {"0000000003", "café", "3"});
    wire::ChangeLog conflict = groupLog();
    inserted(conflict, {"0000000002", "Chá", "2"});
    deleted(conflict, {"0000000001", "Outro", "1"});
    wire::ChangeLog unknownProduct = mainLog();
    modified(unknownProduct, mainRow(1, "N", "S"), mainRow(1, "S", "S"));
    inserted(unknownProduct, mainRow(9, "N", "S"));
    wire::ChangeLog cascade = mainLog();
    deleted(cascade, mainRow(1, "N", "S"));
    inserted(cascade, mainRow(9, "N", "S"));
    wire::ChangeLog itself = relatedLog();
    inserted(itself, relatedRow("N"));
    inserted(itself, {"0000000001", productCode(1), productCode(1), treeCode(1), "x", "N", "S"});
    EXPECT_NE(describe(store->applyGroups(duplicateName, origin)), "ok");
    EXPECT_NE(describe(store->applyGroups(conflict, origin)), "ok");
    EXPECT_NE(describe(store->applyMainProducts(unknownProduct, origin)), "ok");
    EXPECT_NE(describe(store->applyMainProducts(cascade, origin)), "ok");
    EXPECT_NE(describe(store->applyRelatedProducts(itself, origin)), "ok");
    EXPECT_EQ(history(), "");
    wire::Packet related;
    ASSERT_EQ(describe(store->relatedProducts("0000000001", productCode(1), related)), "ok");
    EXPECT_EQ(related.rows.size(), 1u);
}

TEST_P(StoreHistory, FiltersSelectByTimeUserAndGroupOldestFirst) {
    addGroup("0000000001", "Café", "1");
    wire::ChangeLog log = groupLog();
    inserted(log, {"0000000002", "Chá", "2"});
    ASSERT_EQ(describe(store->applyGroups(log, {"ana", "SetGrupSegProd", ""})), "ok");
    wire::ChangeLog rename = groupLog();
    modified(rename, {"0000000001", "Café", "1"}, {"0000000001", "Cafés", "1"});
    ASSERT_EQ(describe(store->applyGroups(rename, {"bia", "SetGrupSegProd", ""})), "ok");
    retime();
    // Rows 1..3 at 2026-01-01..03, written in that order; listed by time whatever the order.
    ASSERT_EQ(rawSql("UPDATE history SET at_utc = '2026-01-09T00:00:00.000Z' WHERE id = 1"), "");
    auto whoAndGroup = [&](HistoryFilter filter) {
        std::string out;
        wire::Packet p;
        EXPECT_EQ(describe(store->history(filter, p)), "ok");
        for (const auto& row : p.rows)
            out += row[0]->substr(8, 2) + ":" + *row[1] + ":" + *row[5] + " ";
        return out;
    };
    struct Case {
        HistoryFilter filter;
        std::string rows;
    };
    const Case cases[] = {
        {{}, "02:ana:0000000002 03:bia:0000000001 09:teste:0000000001 "},
        {{"2026-01-03T00:00:00.000Z", "", ""}, "03:bia:0000000001 09:teste:0000000001 "},
        {{"2026-01-03T00:00:00.001Z", "", ""}, "09:teste:0000000001 "},
        {{"2027-01-01T00:00:00.000Z", "", ""}, ""},
        {{"", "ana", ""}, "02:ana:0000000002 "},
        {{"", "Ana", ""}, ""},
        {{"", "", "0000000001"}, "03:bia:0000000001 09:teste:0000000001 "},
        {{"2026-01-03T00:00:00.000Z", "bia", "0000000001"}, "03:bia:0000000001 "},
        {{"", "", "\xff"}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(whoAndGroup(c.filter), c.rows)
            << c.filter.since << " " << c.filter.user << " " << c.filter.group;
}

STORE_BACKENDS(StoreHistory);

}  // namespace
}  // namespace storetest
