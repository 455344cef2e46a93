#include "store/WhereUsed.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <tuple>
#include <unordered_map>

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"
#include "wire/ColumnFields.h"
#include "wire/RemoteModule.h"

namespace appserver {

namespace {

const Query kAsMain{
    "SELECT CDGRUSUGESPROD, IDQUANTPRODPRINC, IDTOTALPRODPRINC FROM PRODPRINC WHERE CDPRODUTO = "
    "$1"};
const Query kAsRelated{
    "SELECT CDGRUSUGESPROD, CDPRODUTO, IDQUANTPROD, IDTOTALPROD FROM PRODRELAC "
    "WHERE CDPRODUTORELAC = $1"};
const Query kGroup{"SELECT NMGRUSUGESPROD, NRORDEM FROM GRUSUGESPROD WHERE CDGRUSUGESPROD = $1"};
const Query kProduct{"SELECT CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = $1"};

// Collects each row as the place it names, in the order read.
class PlaceSink : public wire::PacketSink {
  public:
    PlaceSink(std::vector<Place>& places, std::string_view product, bool asMain)
        : m_places(places), m_product(product), m_asMain(asMain) {}
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    wire::Status onRow(std::span<const wire::ValueView> v) override {
        Place p;
        p.group = v[0].value_or("");
        p.isMain = m_asMain;
        p.main = m_asMain ? std::string(m_product) : std::string(v[1].value_or(""));
        const std::size_t flags = m_asMain ? 1 : 2;
        if (v[flags]) p.quantity = std::string(*v[flags]);
        if (v[flags + 1]) p.total = std::string(*v[flags + 1]);
        m_places.push_back(std::move(p));
        return {};
    }

  private:
    std::vector<Place>& m_places;
    std::string_view m_product;
    bool m_asMain;
};

// The two values a key names, read once per key.
class Lookup {
  public:
    Lookup(SqlConnection& conn, const Query& query) : m_conn(conn), m_query(query) {}
    wire::Result<const std::array<std::string, 2>*> of(const std::string& key) {
        auto found = m_values.find(key);
        if (found != m_values.end()) return &found->second;
        FirstRowSink row;
        const wire::ValueView params[] = {key};
        if (SqlError err = m_conn.run(m_query, params, &row))
            return ConstraintMessages::describe(err);
        std::array<std::string, 2> values;
        for (std::size_t i = 0; row.found() && i < 2; ++i) values[i] = row.row()[i].value_or("");
        return &m_values.emplace(key, std::move(values)).first->second;
    }

  private:
    SqlConnection& m_conn;
    const Query& m_query;
    std::unordered_map<std::string, std::array<std::string, 2>> m_values;
};

// Digit strings compared as numbers (leading zeros aside, a shorter one is smaller), then as
// text: the groups' order, as groups() lists them.
auto asNumber(const std::string& text) {
    const std::size_t zeros = std::min(text.find_first_not_of('0'), text.size());
    return std::make_tuple(text.size() - zeros, std::string_view(text).substr(zeros),
                           std::string_view(text));
}

// The rank of each distinct value of field among places, in the order less gives.
template <class Less>
std::unordered_map<std::string_view, std::uint64_t> ranks(const std::vector<Place>& places,
                                                          std::string Place::*field, Less less) {
    std::vector<const Place*> distinct;
    std::unordered_map<std::string_view, std::uint64_t> rank;
    for (const Place& p : places)
        if (rank.emplace(p.*field, 0).second) distinct.push_back(&p);
    std::sort(distinct.begin(), distinct.end(), less);
    for (std::uint64_t i = 0; i < distinct.size(); ++i) rank[distinct[i]->*field] = i;
    return rank;
}

// Sorted by group (as groups() lists them), main product's tree code, main before related: the
// few distinct groups and main products are ranked once, so the places sort by one number each.
std::vector<Place> sorted(std::vector<Place> places) {
    const auto group = ranks(places, &Place::group, [](const Place* a, const Place* b) {
        return std::tuple(asNumber(a->groupOrder), asNumber(a->group)) <
               std::tuple(asNumber(b->groupOrder), asNumber(b->group));
    });
    const auto main = ranks(places, &Place::main, [](const Place* a, const Place* b) {
        return std::tie(a->mainTree, a->main) < std::tie(b->mainTree, b->main);
    });
    std::vector<std::pair<std::uint64_t, std::size_t>> order;
    order.reserve(places.size());
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place& p = places[i];
        order.emplace_back((group.at(p.group) << 33) | (main.at(p.main) << 1) | !p.isMain, i);
    }
    std::sort(order.begin(), order.end());
    std::vector<Place> out;
    out.reserve(places.size());
    for (const auto& o : order) out.push_back(std::move(places[o.second]));
    return out;
}

}  // namespace

wire::Result<std::vector<Place>> readPlaces(SqlConnection& conn, std::string_view product) {
    std::vector<Place> places;
    const wire::ValueView key[] = {product};
    for (auto [query, asMain] : {std::pair{&kAsMain, true}, std::pair{&kAsRelated, false}}) {
        PlaceSink sink(places, product, asMain);
        if (SqlError err = conn.run(*query, key, &sink)) return ConstraintMessages::describe(err);
    }
    Lookup groups(conn, kGroup), products(conn, kProduct);
    for (Place& p : places) {
        auto group = groups.of(p.group);
        auto main = products.of(p.main);
        if (!group || !main) return !group ? group.status() : main.status();
        std::tie(p.groupName, p.groupOrder) = std::tie((**group)[0], (**group)[1]);
        std::tie(p.mainTree, p.mainName) = std::tie((**main)[0], (**main)[1]);
    }
    return sorted(std::move(places));
    return places;
}

wire::Status writePlaces(const std::vector<Place>& places, wire::PacketSink& out) {
    if (auto s = out.onFields(wire::fieldDefs(wire::fields::kWhereUsed)); !s) return s;
    for (const Place& p : places) {
        const std::array<wire::ValueView, 6> row = {p.group,    p.groupName, p.main,
                                                    p.mainTree, p.mainName,  p.isMain ? "P" : "R"};
        if (auto s = out.onRow(row); !s) return s;
    }
    return {};
}

}  // namespace appserver
