#pragma once
// The field list of a packet or change log, from columns of the remote module's description.

#include <span>
#include <vector>

#include "wire/FieldDef.h"
#include "wire/RemoteModule.h"

namespace wire {

// The columns' names and sizes, in the given order.
std::vector<FieldDef> fieldDefs(std::span<const Column> columns);

}  // namespace wire
