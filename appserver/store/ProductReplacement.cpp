#include "store/ProductReplacement.h"

#include <tuple>

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"
#include "store/ProductRules.h"
#include "store/TableWriter.h"
#include "wire/Packet.h"

namespace appserver {

namespace {

const Query kTreeCode{"SELECT CDARVPROD FROM PRODUTO WHERE CDPRODUTO = $1"};
const Query kIsMain{"SELECT 1 FROM PRODPRINC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2"};
const Query kIsRelated{
    "SELECT 1 FROM PRODRELAC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 AND CDPRODUTORELAC = $3"};
const Query kRelatedOf{
    "SELECT CDPRODUTORELAC, IDQUANTPROD, IDTOTALPROD FROM PRODRELAC "
    "WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 ORDER BY CDPRODUTORELAC"};

constexpr const char* kReplacementUnknown = "Produto substituto não cadastrado.";
constexpr const char* kSameProduct = "O produto substituto deve ser outro produto.";

std::string text(const wire::Value& v) { return v.value_or(""); }

}  // namespace

wire::Result<bool> ProductReplacement::found(const Query& query,
                                             std::initializer_list<wire::ValueView> params) {
    FirstRowSink row;
    if (SqlError err = m_conn.run(query, {params.begin(), params.size()}, &row))
        return ConstraintMessages::describe(err);
    return row.found();
}

wire::Status ProductReplacement::readLists() {
    for (auto [code, tree, unknown] : {std::tuple{&m_from, &m_fromTree, kProductUnknown},
                                       std::tuple{&m_to, &m_toTree, kReplacementUnknown}}) {
        if (code->empty()) continue;
        FirstRowSink row;
        const wire::ValueView params[] = {*code};
        if (SqlError err = m_conn.run(kTreeCode, params, &row))
            return ConstraintMessages::describe(err);
        if (!row.found()) return {wire::ErrorCode::Refused, unknown};
        *tree = text(row.row()[0]);
    }
    if (m_from.empty()) return {wire::ErrorCode::Refused, kProductMissing};
    if (m_from == m_to) return {wire::ErrorCode::Refused, kSameProduct};

    auto places = readPlaces(m_conn, m_from);
    if (!places) return places.status();
    m_lists.clear();
    for (Place& place : *places) {
        List list{std::move(place), {}};
        if (list.place.isMain) {
            wire::Packet related;
            const wire::ValueView key[] = {list.place.group, m_from};
            if (SqlError err = m_conn.run(kRelatedOf, key, &related))
                return ConstraintMessages::describe(err);
            list.related = std::move(related.rows);
        }
        m_lists.push_back(std::move(list));
    }
    return {};
}

wire::Status ProductReplacement::check(const List& list, std::size_t line, ActionPlan& plan) {
    const Place& p = list.place;
    const std::string where = "grupo " + p.group + " (" + p.groupName + ")";
    auto refuse = [&](std::string why) {
        plan.problems.push_back({line, where + ": " + why});
        return wire::Status();
    };
    if (p.isMain) {
        if (m_to.empty()) {
            plan.changes.push_back({line,
                                    PlanAction::Exclude,
                                    where + ", principal " + m_fromTree + " e seus " +
                                        std::to_string(list.related.size()) + " relacionados",
                                    {},
                                    {}});
            return {};
        }
        auto taken = found(kIsMain, {p.group, m_to});
        if (!taken) return taken.status();
        if (*taken) return refuse(m_toTree + " já é produto principal neste grupo.");
        for (const auto& r : list.related)
            if (r[0] == m_to)
                return refuse(m_toTree + " é relacionado de " + m_fromTree +
                              " e seria relacionado a ele mesmo.");
        plan.changes.push_back(
            {line, PlanAction::Alter, where + ", principal", m_fromTree, m_toTree});
        return {};
    }
    if (m_to.empty()) {
        plan.changes.push_back({line,
                                PlanAction::Exclude,
                                where + ", relacionado " + m_fromTree + " de " + p.mainTree,
                                {},
                                {}});
        return {};
    }
    if (p.main == m_to)
        return refuse(m_toTree + " seria relacionado a ele mesmo (principal " + p.mainTree + ").");
    auto taken = found(kIsRelated, {p.group, p.main, m_to});
    if (!taken) return taken.status();
    if (*taken) return refuse(m_toTree + " já é relacionado de " + p.mainTree + ".");
    plan.changes.push_back(
        {line, PlanAction::Alter, where + ", relacionado de " + p.mainTree, m_fromTree, m_toTree});
    return {};
}

wire::Result<ActionPlan> ProductReplacement::plan() {
    if (auto s = readLists(); !s) return s;
    ActionPlan plan;
    for (std::size_t i = 0; i < m_lists.size(); ++i)
        if (auto s = check(m_lists[i], i + 1, plan); !s) return s;
    return plan;
}

wire::Status ProductReplacement::apply(HistoryRecorder& history) {
    using K = wire::ChangeKind;
    for (const List& list : m_lists) {
        const Place& p = list.place;
        if (!p.isMain) {
            wire::ChangeLog log = relatedProductLog();
            log.changes.push_back({K::Delete, {p.group, p.main, m_from, p.quantity, p.total}, {}});
            if (!m_to.empty())
                log.changes.push_back(
                    {K::Insert, {}, {p.group, p.main, m_to, p.quantity, p.total}});
            if (auto s = writeTable(m_conn, StoredTable::RelatedProducts, log, history); !s)
                return s;
            continue;
        }
        // The replacement takes the list first, so the old main product's deletion, which takes
        // its related rows along, leaves nothing behind that the new one has not got.
        wire::ChangeLog main = mainProductLog(), related = relatedProductLog(),
                        removal = mainProductLog();
        if (!m_to.empty()) {
            main.changes.push_back({K::Insert, {}, {p.group, m_to, p.quantity, p.total}});
            for (const auto& r : list.related)
                related.changes.push_back({K::Insert, {}, {p.group, m_to, r[0], r[1], r[2]}});
        }
        removal.changes.push_back({K::Delete, {p.group, m_from, p.quantity, p.total}, {}});
        for (auto [table, log] : {std::pair{StoredTable::MainProducts, &main},
                                  std::pair{StoredTable::RelatedProducts, &related},
                                  std::pair{StoredTable::MainProducts, &removal}})
            if (auto s = writeTable(m_conn, table, *log, history); !s) return s;
    }
    return {};
}

}  // namespace appserver
