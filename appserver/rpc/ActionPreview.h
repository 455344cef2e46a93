#pragma once
// The plan of an action across lists (a replacement, an undo) answered as the import's preview
// (wire::fields::kImportPreview), so the screen shows both in one dialog: one row per change or
// refusal by place, then the summary row.

#include "store/ActionPlan.h"
#include "wire/PacketSink.h"

namespace appserver {

wire::Status writeActionPreview(const ActionPlan& plan, wire::PacketSink& out);

}  // namespace appserver
