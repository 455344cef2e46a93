#pragma once
// Loads the product catalogue (the products import): inserts as ProductApplier does, and changes
// a product's tree code and name when its row still holds the values read. Products are never
// deleted here: suggestions refer to them.

#include "store/ProductApplier.h"

namespace appserver {

class CatalogueApplier : public ProductApplier {
  public:
    using ProductApplier::ProductApplier;

  protected:
    wire::Status modify(const LogFields& f, const Row& oldValues, const Row& newValues) override;
};

}  // namespace appserver
