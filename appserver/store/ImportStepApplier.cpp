#include "store/ImportStepApplier.h"

#include "store/HistoryRecorder.h"
#include "store/TableWriter.h"

namespace appserver {

wire::Status applyImportSteps(SqlConnection& conn, std::span<const ImportStep> steps,
                              std::string_view user, const std::string& at) {
    SaveRecord save(conn, user, kImportMethod, at);  // the whole import is one save
    for (const ImportStep& step : steps) {
        auto apply = [&](const wire::ChangeLog& log) {
            if (log.changes.empty()) return wire::Status();
            HistoryRecorder history(conn, {user, kImportMethod, step.operation}, save);
            return writeTable(conn, step.table, log, history);
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
