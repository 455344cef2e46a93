#pragma once
// Applies a change log of a group's main products (SetArvProd). The row is known by
// (CDGRUSUGESPROD, CDPRODUTO); only the two flags can change. CDARVPROD and NMPRODUTO travel
// for the screen and are ignored. Deleting a main product deletes its related products, each
// recorded in the history as a deletion of its own.

#include "store/ChangeApplier.h"

namespace appserver {

class MainProductApplier : public ChangeApplier {
  public:
    using ChangeApplier::ChangeApplier;

  protected:
    std::span<const FieldRule> rules() const override;
    wire::Status insert(const LogFields& f, const Row& values) override;
    wire::Status modify(const LogFields& f, const Row& oldValues, const Row& newValues) override;
    wire::Status remove(const LogFields& f, const Row& oldValues) override;
};

}  // namespace appserver
