#pragma once
// Adds products to the catalogue (demo seeding, loading tools). The screen never changes
// products, so modifications and deletions are refused.

#include "store/ChangeApplier.h"

namespace appserver {

class ProductApplier : public ChangeApplier {
  public:
    using ChangeApplier::ChangeApplier;

  protected:
    std::span<const FieldRule> rules() const override;
    wire::Status insert(const LogFields& f, const Row& values) override;
    wire::Status modify(const LogFields& f, const Row& oldValues, const Row& newValues) override;
    wire::Status remove(const LogFields& f, const Row& oldValues) override;
};

}  // namespace appserver
