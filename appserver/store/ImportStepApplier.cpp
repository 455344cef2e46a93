#include "store/ImportStepApplier.h"

#include "store/CatalogueApplier.h"
#include "store/GroupApplier.h"
#include "store/HistoryRecorder.h"
#include "store/MainProductApplier.h"
#include "store/RelatedProductApplier.h"

namespace appserver {

namespace {

template <class Applier>
wire::Status replay(SqlConnection& conn, const wire::ChangeLog& log, HistoryRecorder& history) {
    Applier applier(conn);
    return applier.apply(log, &history);
}

wire::Status applyStep(SqlConnection& conn, const ImportStep& step, HistoryRecorder& history) {
    switch (step.table) {
        case ImportTable::Products:
            return replay<CatalogueApplier>(conn, step.log, history);
        case ImportTable::Groups:
            return replay<GroupApplier>(conn, step.log, history);
        case ImportTable::MainProducts:
            return replay<MainProductApplier>(conn, step.log, history);
        case ImportTable::RelatedProducts:
            break;
    }
    return replay<RelatedProductApplier>(conn, step.log, history);
}

}  // namespace

wire::Status applyImportSteps(SqlConnection& conn, std::span<const ImportStep> steps,
                              std::string_view user, const std::string& at) {
    SaveRecord save(conn, user, kImportMethod, at);  // the whole import is one save
    for (const ImportStep& step : steps) {
        if (step.log.changes.empty()) continue;
        HistoryRecorder history(conn, {user, kImportMethod, step.operation}, save);
        if (wire::Status status = applyStep(conn, step, history); !status) return status;
    }
    return {};
}

}  // namespace appserver
