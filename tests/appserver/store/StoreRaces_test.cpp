// Two servers racing for the same value: the database lets exactly one win, every time.
#include <algorithm>
#include <atomic>
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

STORE_BACKENDS(StoreRaces);

}  // namespace
}  // namespace storetest
