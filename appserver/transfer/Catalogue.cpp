#include "transfer/Catalogue.h"

#include "store/TextKeys.h"

namespace appserver {

namespace {

class CatalogueSink : public wire::PacketSink {
  public:
    explicit CatalogueSink(Catalogue& catalogue) : m_catalogue(catalogue) {}
    wire::Status onFields(const std::vector<wire::FieldDef>&) override { return {}; }
    wire::Status onRow(std::span<const wire::ValueView> v) override {
        m_catalogue.add({std::string(v[0].value_or("")), std::string(v[1].value_or("")),
                         std::string(v[2].value_or(""))});
        return {};
    }

  private:
    Catalogue& m_catalogue;
};

}  // namespace

wire::Result<Catalogue> Catalogue::read(Store& store) {
    Catalogue catalogue;
    CatalogueSink sink(catalogue);
    if (wire::Status status = store.allProducts(sink); !status) return status;
    return catalogue;
}

void Catalogue::add(CatalogueProduct product) {
    m_codeByTree[product.treeCode] = product.code;
    m_codeByDigits.emplace(treeDigits(product.treeCode), product.code);
    std::string code = product.code;
    m_byCode[code] = std::move(product);
}

const CatalogueProduct* Catalogue::byCode(std::string_view code) const {
    auto found = m_byCode.find(code);
    return found == m_byCode.end() ? nullptr : &found->second;
}

const CatalogueProduct* Catalogue::byTreeCode(std::string_view treeCode) const {
    auto exact = m_codeByTree.find(std::string(treeCode));
    if (exact != m_codeByTree.end()) return byCode(exact->second);
    const std::string digits = treeDigits(treeCode);
    if (digits.empty()) return nullptr;
    auto byDigits = m_codeByDigits.find(digits);
    return byDigits == m_codeByDigits.end() ? nullptr : byCode(byDigits->second);
}

}  // namespace appserver
