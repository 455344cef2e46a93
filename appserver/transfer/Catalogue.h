#pragma once
// The product catalogue as an import sees it: every product by code, and tree codes found as the
// screen finds them (exactly, else by their digits alone).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/Store.h"

namespace appserver {

struct CatalogueProduct {
    std::string code, treeCode, name;
};

// Products are numbered from 0 in tree-code order (bytewise, whatever the database's collation),
// so an import can key its links by number and find them in the screen's order.
class Catalogue {
  public:
    static wire::Result<Catalogue> read(Store& store);

    Catalogue() = default;
    Catalogue(Catalogue&&) = default;  // the indexes view the products, which a move keeps
    Catalogue& operator=(Catalogue&&) = default;
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    const CatalogueProduct* byCode(std::string_view code) const;
    // The product with that tree code, as GetVerifProduto finds it; null when none.
    const CatalogueProduct* byTreeCode(std::string_view treeCode) const;

    std::uint32_t number(const CatalogueProduct& product) const {
        return static_cast<std::uint32_t>(&product - m_products.data());
    }
    const CatalogueProduct& at(std::uint32_t number) const { return m_products[number]; }

  private:
    std::vector<CatalogueProduct> m_products;
    std::unordered_map<std::string_view, std::uint32_t> m_byCode, m_byTree, m_byDigits;
    std::vector<std::string> m_digits;  // the keys of m_byDigits
};

}  // namespace appserver
