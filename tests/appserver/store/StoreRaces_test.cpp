// Two servers racing for the same value: the database lets exactly one win, every time.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "StoreFixture.h"

namespace storetest {
namespace {

class StoreRaces : public StoreTest {
  protected:
    // Runs both writes at once from two connections; returns their outcomes sorted.
    template <class Write>
    std::vector<std::string> race(appserver::Store& a, appserver::Store& b, Write write) {
        std::atomic<int> ready{0};
        std::string first, second;
        auto run = [&](appserver::Store& s, std::string& out) {
            ++ready;
            while (ready.load() < 2) std::this_thread::yield();
            out = describe(write(s));
        };
        std::thread ta(run, std::ref(a), std::ref(first));
        std::thread tb(run, std::ref(b), std::ref(second));
        ta.join();
        tb.join();
        std::vector<std::string> outcomes{first, second};
        std::sort(outcomes.begin(), outcomes.end());
        return outcomes;
    }
};

TEST_P(StoreRaces, TwoInsertsOfTheSameGroupCodeGiveOneSuccessAndOneRefusal) {
    auto other = openAnother();
    for (int i = 1; i <= 50; ++i) {
        std::string code = productCode(i);
        auto outcomes = race(*store, *other, [&](appserver::Store& s) {
            // Names and orders differ between the two, so only the code collides.
            bool mine = &s == store.get();
            wire::ChangeLog log = groupLog();
            inserted(log, {code, "Grupo " + std::to_string(i) + (mine ? " A" : " B"),
                           std::to_string(i * 2 + (mine ? 0 : 1))});
            return s.applyGroups(log, kByTest);
        });
        ASSERT_EQ(outcomes, (std::vector<std::string>{"-32000: Código já cadastrado.", "ok"}))
            << "round " << i;
    }
}

TEST_P(StoreRaces, TwoInsertsOfTheSameRelatedProductGiveOneSuccessAndOneRefusal) {
    addProducts(51);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(51));
    auto other = openAnother();
    for (int i = 1; i <= 50; ++i) {
        auto outcomes = race(*store, *other, [&](appserver::Store& s) {
            wire::ChangeLog log = relatedLog();
            inserted(log, {"0000000001", productCode(51), productCode(i), std::nullopt,
                           std::nullopt, "N", "S"});
            return s.applyRelatedProducts(log, kByTest);
        });
        ASSERT_EQ(outcomes, (std::vector<std::string>{"-32000: Produto já cadastrado.", "ok"}))
            << "round " << i;
    }
}

TEST_P(StoreRaces, TwoChangesOfTheSameRowGiveOneSuccessAndOneConflict) {
    addGroup("0000000001", "Café", "1");
    auto other = openAnother();
    for (int i = 1; i <= 20; ++i) {
        std::string before = "Café " + std::to_string(i - 1);
        if (i == 1) before = "Café";
        auto outcomes = race(*store, *other, [&](appserver::Store& s) {
            wire::ChangeLog log = groupLog();
            std::string after = "Café " + std::to_string(i);
            modified(log, {"0000000001", before, "1"}, {"0000000001", after, "1"});
            return s.applyGroups(log, kByTest);
        });
        ASSERT_EQ(outcomes.size(), 2u);
        ASSERT_EQ(outcomes[1], "ok") << "round " << i;
        ASSERT_EQ(outcomes[0].substr(0, 7), "-32001:") << "round " << i;
    }
}

// Another server adds a related product to a main product being deleted, and commits while the
// deletion waits for it: the deletion takes it along with the others and records it, so no row
// leaves without its history. (SQLite lets one writer in at a time, so any order holds there.)
TEST_P(StoreRaces, ARelatedProductAddedDuringItsMainProductsDeletionIsRecordedToo) {
    addProducts(3);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    addRelated("0000000001", productCode(1), productCode(2));
    auto other = openConnection();
    auto sql = [](appserver::SqlConnection& conn, const appserver::Query& query,
                  std::vector<wire::ValueView> params = {}) {
        wire::Packet rows;
        appserver::SqlError err = conn.run(query, params, &rows);
        return err ? "erro: " + err.detail : dump(rows);
    };
    ASSERT_FALSE(other->begin());
    const appserver::Query insert{
        "INSERT INTO PRODRELAC (CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, "
        "IDTOTALPROD) VALUES ('0000000001', $1, $2, 'N', 'S')"};
    ASSERT_EQ(sql(*other, insert, {productCode(1), productCode(3)}), "");
    wire::ChangeLog log = mainLog();
    deleted(log, {treeCode(1), productCode(1), "x", "0000000001", "N", "S"});
    std::string outcome;
    std::thread deleting([&] { outcome = describe(store->applyMainProducts(log, kByTest)); });
    bool waited = GetParam() == Backend::Sqlite;
    if (!waited) {
        const appserver::Query pid{"SELECT pg_backend_pid()"};
        const appserver::Query waiting{
            "SELECT 1 FROM pg_stat_activity WHERE CAST($1 AS INTEGER) = "
            "ANY(pg_blocking_pids(pid))"};
        std::string holder = sql(*other, pid);
        holder.pop_back();  // the line's end
        auto watcher = openConnection();
        for (int polls = 0; polls < 1000 && !waited; ++polls) {
            waited = !sql(*watcher, waiting, {holder}).empty();
            if (!waited) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_FALSE(other->commit());
    deleting.join();
    EXPECT_TRUE(waited) << "the deletion never waited for the other server";
    EXPECT_EQ(outcome, "ok");
    wire::Packet history;
    ASSERT_EQ(describe(store->history({}, history)), "ok");
    std::string deletedRelated;
    for (const auto& row : history.rows) {
        if (*row[4] == "delete" && row[6]->find("CDPRODUTORELAC") != std::string::npos)
            deletedRelated += row[6]->substr(row[6]->find("CDPRODUTORELAC") + 17, 10) + " ";
    }
    EXPECT_EQ(deletedRelated, productCode(2) + " " + productCode(3) + " ");
}

// Two users undoing the same save at once: one undoes it, the other is told who did.
TEST_P(StoreRaces, TwoUndosOfTheSameSaveGiveOneUndoAndOneRefusalNamingIt) {
    addProducts(2);
    addGroup("0000000001", "Café", "1");
    addMain("0000000001", productCode(1));
    addRelated("0000000001", productCode(1), productCode(2), "N", "S");
    auto other = openAnother();
    for (int i = 1; i <= 20; ++i) {
        wire::ChangeLog log = relatedLog();
        auto row = [&](const char* quantity) -> Values {
            return {"0000000001", productCode(1), productCode(2), treeCode(2), "", quantity, "S"};
        };
        modified(log, row("N"), row("S"));  // each round's winning undo puts the "N" back
        ASSERT_EQ(describe(store->applyRelatedProducts(log, kByTest)), "ok");
        wire::Packet page;
        ASSERT_EQ(describe(store->historyPage({"0000000001", "", ""}, page)), "ok");
        const std::string save = *page.rows[0][1];
        auto outcomes = race(*store, *other, [&](appserver::Store& s) {
            auto plan = s.undoSave(save, true, &s == store.get() ? "ana" : "bia");
            if (!plan) return plan.status();
            return plan->applied ? wire::Status()
                                 : wire::Status{wire::ErrorCode::Refused, "não aplicado"};
        });
        ASSERT_EQ(outcomes[1], "ok") << "round " << i;
        ASSERT_EQ(outcomes[0].substr(0, outcomes[0].rfind(' ')),
                  "-32000: A gravação " + save + " já foi desfeita pela gravação")
            << "round " << i;
    }
}

STORE_BACKENDS(StoreRaces);

}  // namespace
}  // namespace storetest
