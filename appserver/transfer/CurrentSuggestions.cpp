#include "transfer/CurrentSuggestions.h"

namespace appserver {

namespace {

// Fields of Store::suggestions, in its order.
enum { kGroup, kName, kOrder, kMain, kMainQuantity, kMainTotal, kRelated, kQuantity, kTotal };

class CurrentSink : public wire::PacketSink {
  public:
    CurrentSink(const Catalogue& catalogue, SuggestionLinks& links)
        : m_catalogue(catalogue), m_links(links) {}
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    // One row per group, main product and related product, a main product's rows together.
    wire::Status onRow(std::span<const wire::ValueView> v) override {
        const std::uint32_t group = m_links.groups.take(v[kGroup].value_or(""));
        GroupEntry& entry = m_links.groups[group];
        entry.stored = true;
        entry.storedName = v[kName].value_or("");
        entry.storedOrder = v[kOrder].value_or("");
        if (!v[kMain]) return {};
        const CatalogueProduct* main = m_catalogue.byTreeCode(*v[kMain]);
        const CatalogueProduct* related = v[kRelated] ? m_catalogue.byTreeCode(*v[kRelated]) : nullptr;
        // Stored links name stored products; one missing was added after the catalogue was read.
        if (!main || (v[kRelated] && !related)) {
            return {wire::ErrorCode::Conflict,
                    "O catálogo de produtos mudou durante a importação; importe de novo."};
        }
        const MainLink link{group, m_catalogue.number(*main), 0,
                            {flagOf(v[kMainQuantity]), flagOf(v[kMainTotal])}};
        if (m_links.storedMains.empty() || key(m_links.storedMains.back()) != key(link))
            m_links.storedMains.push_back(link);
        if (related) {
            m_links.storedRelated.push_back({group, link.product, m_catalogue.number(*related), 0,
                                             {flagOf(v[kQuantity]), flagOf(v[kTotal])}});
        }
        return {};
    }

  private:

    const Catalogue& m_catalogue;
    SuggestionLinks& m_links;
};

}  // namespace

wire::Status readCurrentSuggestions(Store& store, const Catalogue& catalogue,
                                    SuggestionLinks& links) {
    CurrentSink sink(catalogue, links);
    return store.suggestions("", sink);
}

}  // namespace appserver
