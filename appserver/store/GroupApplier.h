#pragma once
// Applies a change log of suggestion groups (SetGrupSegProd). Code, name and order are unique,
// the name without regard to case or surrounding blanks; a group that still has main products
// cannot be deleted; a changed code is carried to the group's products. A new or changed code
// must be exactly ten ASCII digits.

#include "store/ChangeApplier.h"

namespace appserver {

class GroupApplier : public ChangeApplier {
  public:
    using ChangeApplier::ChangeApplier;

  protected:
    std::span<const FieldRule> rules() const override;
    wire::Status insert(const LogFields& f, const Row& values) override;
    wire::Status modify(const LogFields& f, const Row& oldValues, const Row& newValues) override;
    wire::Status remove(const LogFields& f, const Row& oldValues) override;

  private:
    // The screen's checks in the screen's order, against groups other than `self` (the group's
    // former code, or null for a new group); constraints catch what races past them.
    wire::Status checkUnique(const LogFields& f, const Row& values, wire::ValueView self);
};

}  // namespace appserver
