#pragma once
// A Store that records each call as one line ("groupsByCode(01)"; a write adds its origin:
// "applyGroups(1,local,SetGrupSegProd,)"; an action adds its user) and answers as scripted:
// reads give one row per field list, actions an empty plan; a scripted Status fails the next calls;
// tree codes are upper-cased so in/out write-back is visible. An optional delay holds each call
// (stop tests).

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "store/Store.h"

namespace appserver::testing {

class FakeStore : public Store {
  public:
    struct Script {
        std::mutex mutex;
        std::vector<std::string> calls;
        wire::Status failWith;  // non-ok: every call answers this
        std::chrono::milliseconds delay{0};
        std::string delayedCall;  // when set, only calls starting with it are delayed
        std::atomic<int> running{0};
        std::map<std::string, StoredUser> users;  // under mutex; not recorded in calls
        std::atomic<int> userLookups{0};
        std::chrono::milliseconds lookupDelay{
            0};  // each user lookup waits this long after counting
        std::string callsText();
    };

    explicit FakeStore(Script& script) : m_script(script) {}

    wire::Status groups(wire::PacketSink& out) override;
    wire::Status groupsByCode(std::string_view code, wire::PacketSink& out) override;
    wire::Status groupsByName(std::string_view name, wire::PacketSink& out) override;
    wire::Status groupsByOrder(std::string_view order, wire::PacketSink& out) override;
    wire::Status mainProducts(std::string_view group, wire::PacketSink& out) override;
    wire::Status allProducts(wire::PacketSink& out) override;
    wire::Status productByTreeCode(std::string& treeCode, wire::PacketSink& out) override;
    wire::Status mainProductRows(std::string_view group, std::string& treeCode,
                                 wire::PacketSink& out) override;
    wire::Status relatedRows(std::string_view group, std::string_view mainProduct,
                             std::string& treeCode, wire::PacketSink& out) override;
    wire::Status candidates(std::string_view mainProduct, std::string_view group,
                            wire::PacketSink& out) override;
    wire::Status relatedProducts(std::string_view group, std::string_view mainProduct,
                                 wire::PacketSink& out) override;
    wire::Status applyGroups(const wire::ChangeLog& log, const ChangeOrigin& origin) override;
    wire::Status applyMainProducts(const wire::ChangeLog& log, const ChangeOrigin& origin) override;
    wire::Status applyRelatedProducts(const wire::ChangeLog& log,
                                      const ChangeOrigin& origin) override;
    wire::Status whereUsed(std::string_view product, wire::PacketSink& out) override;
    wire::Result<ActionPlan> replaceProduct(std::string_view from, std::string_view to, bool apply,
                                            std::string_view user) override;
    wire::Status historyPage(const HistoryPageQuery& query, wire::PacketSink& out) override;
    wire::Result<ActionPlan> undoSave(std::string_view save, bool apply,
                                      std::string_view user) override;
    wire::Status copyGroup(const GroupCopy& copy, std::string_view user) override;
    wire::Result<std::optional<StoredUser>> findUser(std::string_view name) override;
    wire::Result<bool> anyUser() override;
    wire::Status ping() override;
    wire::Status seedDemo() override;
    wire::Status addProduct(std::string_view code, std::string_view treeCode,
                            std::string_view name) override;

  private:
    wire::Status record(std::string call);
    wire::Status answer(std::string call, std::vector<std::string_view> fields,
                        wire::PacketSink& out);

    Script& m_script;
};

class FakeStoreFactory : public StoreFactory {
  public:
    explicit FakeStoreFactory(FakeStore::Script& script) : m_script(script) {}
    wire::Result<std::unique_ptr<Store>> open() override {
        return std::unique_ptr<Store>(std::make_unique<FakeStore>(m_script));
    }

  private:
    FakeStore::Script& m_script;
};

}  // namespace appserver::testing
