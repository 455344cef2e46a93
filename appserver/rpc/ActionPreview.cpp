#include "rpc/ActionPreview.h"

#include "transfer/PreviewPacket.h"

namespace appserver {
namespace {

ImportAction importAction(PlanAction action) {
    switch (action) {
        case PlanAction::Include:
            return ImportAction::Include;
        case PlanAction::Alter:
            return ImportAction::Alter;
        case PlanAction::Exclude:
            break;
    }
    return ImportAction::Exclude;
}

}  // namespace

wire::Status writeActionPreview(const ActionPlan& plan, wire::PacketSink& out) {
    ImportPreview preview;
    for (const PlanChange& c : plan.changes)
        preview.changes.push_back({c.line, importAction(c.action), c.what, c.before, c.after});
    for (const PlanProblem& p : plan.problems) preview.problems.push_back({p.line, 0, p.message});
    return writePreviewPacket(preview, out);
}

}  // namespace appserver
