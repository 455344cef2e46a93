#include "transfer/Catalogue.h"

#include <algorithm>

#include "store/TextKeys.h"

namespace appserver {

namespace {

class CatalogueSink : public wire::PacketSink {
  public:
    explicit CatalogueSink(std::vector<CatalogueProduct>& products) : m_products(products) {}
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    wire::Status onRow(std::span<const wire::ValueView> v) override {
        m_products.push_back({std::string(v[0].value_or("")), std::string(v[1].value_or("")),
                              std::string(v[2].value_or(""))});
        return {};
    }

  private:
    std::vector<CatalogueProduct>& m_products;
};

template <class Map>
const CatalogueProduct* found(const Map& map, std::string_view key,
                              const std::vector<CatalogueProduct>& products) {
    auto at = map.find(key);
    return at == map.end() ? nullptr : &products[at->second];
}

}  // namespace

wire::Result<Catalogue> Catalogue::read(Store& store) {
    Catalogue catalogue;
    std::vector<CatalogueProduct>& products = catalogue.m_products;
    CatalogueSink sink(products);
    if (wire::Status status = store.allProducts(sink); !status) return status;
    std::sort(products.begin(), products.end(),
              [](const auto& a, const auto& b) { return a.treeCode < b.treeCode; });
    catalogue.m_digits.reserve(products.size());  // never moves: the index views its strings
    for (std::uint32_t n = 0; n < products.size(); ++n) {
        catalogue.m_byCode.emplace(products[n].code, n);
        catalogue.m_byTree.emplace(products[n].treeCode, n);
        // The first in tree-code order wins, as the screen's lookup by digits.
        catalogue.m_digits.push_back(treeDigits(products[n].treeCode));
        catalogue.m_byDigits.emplace(catalogue.m_digits.back(), n);
    }
    return catalogue;
}

const CatalogueProduct* Catalogue::byCode(std::string_view code) const {
    return found(m_byCode, code, m_products);
}

const CatalogueProduct* Catalogue::byTreeCode(std::string_view treeCode) const {
    if (const CatalogueProduct* exact = found(m_byTree, treeCode, m_products)) return exact;
    const std::string digits = treeDigits(treeCode);
    return digits.empty() ? nullptr : found(m_byDigits, digits, m_products);
}

}  // namespace appserver
