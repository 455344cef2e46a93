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

// A key (a group's or a main product's code) with the two values read for it once.
struct Keyed {
    std::string key;
    std::array<std::string, 2> values;
};

// The distinct keys of the places, each numbered once.
class Interned {
  public:
    std::uint32_t of(std::string_view key) {
        auto [it, added] = m_index.try_emplace(std::string(key), 0);
        if (added) {
            it->second = static_cast<std::uint32_t>(m_keyed.size());
            m_keyed.push_back({it->first, {}});
        }
        return it->second;
    }
    wire::Status read(SqlConnection& conn, const Query& query) {
        for (Keyed& k : m_keyed) {
            FirstRowSink row;
            const wire::ValueView params[] = {k.key};
            if (SqlError err = conn.run(query, params, &row))
                return ConstraintMessages::describe(err);
            for (std::size_t i = 0; row.found() && i < 2; ++i)
                k.values[i] = row.row()[i].value_or("");
        }
        return {};
    }
    std::vector<Keyed>& keyed() { return m_keyed; }

  private:
    std::unordered_map<std::string, std::uint32_t> m_index;
    std::vector<Keyed> m_keyed;
};

struct Found {
    std::uint32_t group, main;
    bool isMain;
    wire::Value quantity, total;
};

// Collects each row as the place it names, in the order read.
class PlaceSink : public wire::PacketSink {
  public:
    PlaceSink(std::vector<Found>& found, Interned& groups, Interned& mains,
              std::string_view product, bool asMain)
        : m_found(found), m_groups(groups), m_mains(mains), m_product(product), m_asMain(asMain) {}
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    wire::Status onRow(std::span<const wire::ValueView> v) override {
        const std::size_t flags = m_asMain ? 1 : 2;
        auto text = [](wire::ValueView value) {
            return value ? wire::Value(std::string(*value)) : std::nullopt;
        };
        m_found.push_back({m_groups.of(v[0].value_or("")),
                           m_mains.of(m_asMain ? m_product : v[1].value_or("")), m_asMain,
                           text(v[flags]), text(v[flags + 1])});
        return {};
    }

  private:
    std::vector<Found>& m_found;
    Interned &m_groups, &m_mains;
    std::string_view m_product;
    bool m_asMain;
};

// Digit strings compared as numbers (leading zeros aside, a shorter one is smaller), then as
// text: the groups' order, as groups() lists them.
auto asNumber(std::string_view text) {
    const std::size_t zeros = std::min(text.find_first_not_of('0'), text.size());
    return std::make_tuple(text.size() - zeros, text.substr(zeros), text);
}

// The rank of each key in the order less gives.
template <class Less>
std::vector<std::uint64_t> ranks(const std::vector<Keyed>& keyed, Less less) {
    std::vector<std::uint32_t> order(keyed.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::uint32_t a, std::uint32_t b) { return less(keyed[a], keyed[b]); });
    std::vector<std::uint64_t> rank(keyed.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) rank[order[i]] = i;
    return rank;
}

// The places found, numbered through their distinct groups and main products, in answer order.
struct Ordered {
    std::vector<Found> found;
    Interned groups, mains;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> order;  // sort key, place
};

wire::Status readOrdered(SqlConnection& conn, std::string_view product, Ordered& o) {
    const wire::ValueView key[] = {product};
    for (auto [query, asMain] : {std::pair{&kAsMain, true}, std::pair{&kAsRelated, false}}) {
        PlaceSink sink(o.found, o.groups, o.mains, product, asMain);
        if (SqlError err = conn.run(*query, key, &sink)) return ConstraintMessages::describe(err);
    }
    if (auto s = o.groups.read(conn, kGroup); !s) return s;
    if (auto s = o.mains.read(conn, kProduct); !s) return s;

    // Group (as groups() lists them: order, then code), main product's tree code, "P" before
    // "R": the few distinct groups and main products are ranked once, the places by one number.
    const auto groupRank = ranks(o.groups.keyed(), [](const Keyed& a, const Keyed& b) {
        return std::tuple(asNumber(a.values[1]), asNumber(a.key)) <
               std::tuple(asNumber(b.values[1]), asNumber(b.key));
    });
    const auto mainRank = ranks(o.mains.keyed(), [](const Keyed& a, const Keyed& b) {
        return std::tie(a.values[0], a.key) < std::tie(b.values[0], b.key);
    });
    o.order.reserve(o.found.size());
    for (std::uint32_t i = 0; i < o.found.size(); ++i) {
        const Found& f = o.found[i];
        o.order.emplace_back((groupRank[f.group] << 33) | (mainRank[f.main] << 1) | !f.isMain, i);
    }
    std::sort(o.order.begin(), o.order.end());
    return {};
}

}  // namespace

wire::Result<std::vector<Place>> readPlaces(SqlConnection& conn, std::string_view product) {
    Ordered o;
    if (auto s = readOrdered(conn, product, o); !s) return s;
    std::vector<Place> places;
    places.reserve(o.found.size());
    for (const auto& at : o.order) {
        Found& f = o.found[at.second];
        const Keyed& g = o.groups.keyed()[f.group];
        const Keyed& m = o.mains.keyed()[f.main];
        places.push_back({g.key, g.values[0], g.values[1], m.key, m.values[0], m.values[1],
                          f.isMain, std::move(f.quantity), std::move(f.total)});
    }
    return places;
}

wire::Status writeWhereUsed(SqlConnection& conn, std::string_view product, wire::PacketSink& out) {
    Ordered o;
    if (auto s = readOrdered(conn, product, o); !s) return s;
    if (auto s = out.onFields(wire::fieldDefs(wire::fields::kWhereUsed)); !s) return s;
    for (const auto& at : o.order) {
        const Found& f = o.found[at.second];
        const Keyed& g = o.groups.keyed()[f.group];
        const Keyed& m = o.mains.keyed()[f.main];
        const std::array<wire::ValueView, 6> row = {g.key,       g.values[0], m.key,
                                                    m.values[0], m.values[1], f.isMain ? "P" : "R"};
        if (auto s = out.onRow(row); !s) return s;
    }
    return {};
}

}  // namespace appserver
