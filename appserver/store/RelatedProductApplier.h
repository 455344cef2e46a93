#pragma once
// Applies a change log of the products related to a main product (SetProdRelac). The row is
// known by (CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC); only the two flags can change; a product
// is never related to itself. CDARVPRODRELAC and NMPRODUTORELAC are ignored.

#include "store/ChangeApplier.h"

namespace appserver {

class RelatedProductApplier : public ChangeApplier {
  public:
    using ChangeApplier::ChangeApplier;

  protected:
    std::span<const FieldRule> rules() const override;
    wire::Status insert(const LogFields& f, const Row& values) override;
    wire::Status modify(const LogFields& f, const Row& oldValues, const Row& newValues) override;
    wire::Status remove(const LogFields& f, const Row& oldValues) override;
};

}  // namespace appserver
