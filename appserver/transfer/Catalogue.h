#pragma once
// The product catalogue as an import sees it: every product by code, and tree codes found as the
// screen finds them (exactly, else by their digits alone).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "store/Store.h"

namespace appserver {

struct CatalogueProduct {
    std::string code, treeCode, name;
};

class Catalogue {
  public:
    static wire::Result<Catalogue> read(Store& store);

    const CatalogueProduct* byCode(std::string_view code) const;
    // The product with that tree code, as GetVerifProduto finds it; null when none.
    const CatalogueProduct* byTreeCode(std::string_view treeCode) const;

    void add(CatalogueProduct product);

  private:
    std::map<std::string, CatalogueProduct, std::less<>> m_byCode;
    std::unordered_map<std::string, std::string> m_codeByTree;    // tree code -> code
    std::unordered_map<std::string, std::string> m_codeByDigits;  // first by tree code order
};

}  // namespace appserver
