#include "FakeStore.h"

#include <algorithm>
#include <cctype>
#include <thread>

namespace appserver::testing {

using wire::Status;

namespace {

std::string join(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (auto p : parts) out += (out.empty() ? "" : ",") + std::string(p);
    return out;
}

// "entries,user,method,operation" of a write.
std::string applied(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return join({std::to_string(log.changes.size()), origin.user, origin.method, origin.operation});
}

void normalise(std::string& treeCode) {
    std::transform(treeCode.begin(), treeCode.end(), treeCode.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
}

}  // namespace

wire::Result<std::optional<StoredUser>> FakeStore::findUser(std::string_view name) {
    ++m_script.userLookups;
    std::this_thread::sleep_for(m_script.lookupDelay);
    std::lock_guard lock(m_script.mutex);
    auto it = m_script.users.find(std::string(name));
    if (it == m_script.users.end()) return std::optional<StoredUser>();
    return std::optional<StoredUser>(it->second);
}

wire::Result<bool> FakeStore::anyUser() {
    std::lock_guard lock(m_script.mutex);
    return !m_script.users.empty();
}

std::string FakeStore::Script::callsText() {
    std::lock_guard lock(mutex);
    std::string out;
    for (const auto& c : calls) out += c + "\n";
    return out;
}

Status FakeStore::record(std::string call) {
    ++m_script.running;
    if (m_script.delay.count() > 0 && call.starts_with(m_script.delayedCall))
        std::this_thread::sleep_for(m_script.delay);
    --m_script.running;
    std::lock_guard lock(m_script.mutex);
    m_script.calls.push_back(std::move(call));
    return m_script.failWith;
}

Status FakeStore::answer(std::string call, std::vector<std::string_view> fields,
                         wire::PacketSink& out) {
    if (auto s = record(std::move(call)); !s) return s;
    std::vector<wire::FieldDef> defs;
    std::vector<wire::ValueView> row;
    for (auto f : fields) {
        defs.push_back({std::string(f), 20});
        row.emplace_back(f.substr(0, 2));
    }
    if (auto s = out.onFields(defs); !s) return s;
    return out.onRow(row);
}

Status FakeStore::groups(wire::PacketSink& out) {
    return answer("groups()", {"CDGRUSUGESPROD", "NMGRUSUGESPROD", "NRORDEM"}, out);
}
Status FakeStore::groupsByCode(std::string_view code, wire::PacketSink& out) {
    return answer("groupsByCode(" + join({code}) + ")", {"CDGRUSUGESPROD", "NMGRUSUGESPROD"}, out);
}
Status FakeStore::groupsByName(std::string_view name, wire::PacketSink& out) {
    return answer("groupsByName(" + join({name}) + ")", {"CDGRUSUGESPROD", "NMGRUSUGESPROD"}, out);
}
Status FakeStore::groupsByOrder(std::string_view order, wire::PacketSink& out) {
    return answer("groupsByOrder(" + join({order}) + ")", {"CDGRUSUGESPROD", "NRORDEM"}, out);
}
Status FakeStore::mainProducts(std::string_view group, wire::PacketSink& out) {
    return answer("mainProducts(" + join({group}) + ")", {"CDARVPROD", "CDPRODUTO"}, out);
}
Status FakeStore::allProducts(wire::PacketSink& out) {
    return answer("allProducts()", {"CDPRODUTO", "CDARVPROD", "NMPRODUTO"}, out);
}
Status FakeStore::productByTreeCode(std::string& treeCode, wire::PacketSink& out) {
    normalise(treeCode);
    return answer("productByTreeCode(" + treeCode + ")", {"CDPRODUTO"}, out);
}
Status FakeStore::mainProductRows(std::string_view group, std::string& treeCode,
                                  wire::PacketSink& out) {
    normalise(treeCode);
    return answer("mainProductRows(" + join({group, treeCode}) + ")", {"CDARVPROD"}, out);
}
Status FakeStore::relatedRows(std::string_view group, std::string_view mainProduct,
                              std::string& treeCode, wire::PacketSink& out) {
    normalise(treeCode);
    return answer("relatedRows(" + join({group, mainProduct, treeCode}) + ")", {"CDPRODUTO"}, out);
}
Status FakeStore::candidates(std::string_view mainProduct, std::string_view group,
                             wire::PacketSink& out) {
    return answer("candidates(" + join({mainProduct, group}) + ")", {"CDPRODUTO"}, out);
}
Status FakeStore::relatedProducts(std::string_view group, std::string_view mainProduct,
                                  wire::PacketSink& out) {
    return answer("relatedProducts(" + join({group, mainProduct}) + ")", {"CDPRODUTORELAC"}, out);
}
Status FakeStore::applyGroups(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return record("applyGroups(" + applied(log, origin) + ")");
}
Status FakeStore::applyMainProducts(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return record("applyMainProducts(" + applied(log, origin) + ")");
}
Status FakeStore::applyRelatedProducts(const wire::ChangeLog& log, const ChangeOrigin& origin) {
    return record("applyRelatedProducts(" + applied(log, origin) + ")");
}
Status FakeStore::whereUsed(std::string_view product, wire::PacketSink& out) {
    return answer("whereUsed(" + join({product}) + ")", {"CDGRUSUGESPROD", "TPUSO"}, out);
}
wire::Result<ActionPlan> FakeStore::replaceProduct(std::string_view from, std::string_view to,
                                                   bool apply, std::string_view user) {
    if (auto s = record("replaceProduct(" + join({from, to, apply ? "N" : "S", user}) + ")"); !s)
        return s;
    return ActionPlan{};
}
Status FakeStore::historyPage(const HistoryPageQuery& query, wire::PacketSink& out) {
    return answer("historyPage(" + join({query.group, query.mainProduct, query.before}) + ")",
                  {"NRHISTORICO"}, out);
}
wire::Result<ActionPlan> FakeStore::undoSave(std::string_view save, bool apply,
                                             std::string_view user) {
    if (auto s = record("undoSave(" + join({save, apply ? "N" : "S", user}) + ")"); !s) return s;
    return ActionPlan{};
}
Status FakeStore::copyGroup(const GroupCopy& copy, std::string_view user) {
    return record("copyGroup(" + join({copy.source, copy.code, copy.name, copy.order, user}) + ")");
}
Status FakeStore::ping() { return record("ping()"); }
Status FakeStore::seedDemo() { return record("seedDemo()"); }
Status FakeStore::addProduct(std::string_view code, std::string_view treeCode,
                             std::string_view name) {
    return record("addProduct(" + join({code, treeCode, name}) + ")");
}

}  // namespace appserver::testing
