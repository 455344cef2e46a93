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

wire::Status applyStep(SqlConnection& conn, ImportTable table, const wire::ChangeLog& log,
                       HistoryRecorder& history) {
    switch (table) {
        case ImportTable::Products:
            return replay<CatalogueApplier>(conn, log, history);
        case ImportTable::Groups:
            return replay<GroupApplier>(conn, log, history);
        case ImportTable::MainProducts:
            return replay<MainProductApplier>(conn, log, history);
        case ImportTable::RelatedProducts:
            break;
    }
    return replay<RelatedProductApplier>(conn, log, history);
}

}  // namespace

wire::Status applyImportSteps(SqlConnection& conn, std::span<const ImportStep> steps,
                              std::string_view user, const std::string& at) {
    SaveRecord save(conn, user, kImportMethod, at);  // the whole import is one save
    for (const ImportStep& step : steps) {
        auto apply = [&](const wire::ChangeLog& log) {
            if (log.changes.empty()) return wire::Status();
            HistoryRecorder history(conn, {user, kImportMethod, step.operation}, save);
            return applyStep(conn, step.table, log, history);
        };
        if (!step.parts) {
            if (wire::Status status = apply(step.log); !status) return status;
            continue;
        }
        wire::ChangeLog part;
        for (std::size_t n = 0; step.parts(n, part); ++n)
            if (wire::Status status = apply(part); !status) return status;
    }
    return {};
}

}  // namespace appserver
