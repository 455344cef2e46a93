// The actions across lists of SqlStore: where a product is used, its replacement, a group's
// history, the undo of a save and the copy of a group.
#include <chrono>

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"
#include "store/GroupCopier.h"
#include "store/HistoryPage.h"
#include "store/ProductReplacement.h"
#include "store/ProductRules.h"
#include "store/SaveUndo.h"
#include "store/SqlStore.h"
#include "store/UtcTime.h"
#include "store/WhereUsed.h"
#include "wire/ColumnFields.h"

namespace appserver {

namespace {

const Query kProductExists{"SELECT 1 FROM PRODUTO WHERE CDPRODUTO = $1"};

std::string now() { return utcTimestamp(std::chrono::system_clock::now()); }

}  // namespace

wire::Result<ActionPlan> SqlStore::planned(bool apply, const PlanBody& body) {
    if (!apply) return body(*m_conn, false);
    ActionPlan result;
    bool refused = false;
    wire::Status status = inTransaction([&](SqlConnection& conn) -> wire::Status {
        auto plan = body(conn, true);
        if (!plan) return plan.status();
        result = std::move(*plan);
        refused = !result.applicable();
        // Rolls the transaction back; the plan is the answer.
        if (refused) return {wire::ErrorCode::Refused, "A prévia tem erros."};
        result.applied = true;
        return {};
    });
    if (!status && !refused) return status;
    return result;
}

wire::Status SqlStore::whereUsed(std::string_view product, wire::PacketSink& out) {
    FirstRowSink known;
    const wire::ValueView key[] = {product};
    if (!product.empty() && wire::isValidUtf8(product)) {
        if (SqlError err = m_conn->run(kProductExists, key, &known))
            return ConstraintMessages::describe(err);
    }
    if (!known.found()) return {wire::ErrorCode::Refused, kProductUnknown};
    return writeWhereUsed(*m_conn, product, out);
}

wire::Result<ActionPlan> SqlStore::replaceProduct(std::string_view from, std::string_view to,
                                                  bool apply, std::string_view user) {
    return planned(apply, [&](SqlConnection& conn, bool applying) -> wire::Result<ActionPlan> {
        ProductReplacement replacement(conn, from, to);
        auto plan = replacement.plan();
        if (!plan || !applying || !plan->applicable()) return plan;
        SaveRecord save(conn, user, kReplaceOrigin, now());
        HistoryRecorder history(conn, {user, kReplaceOrigin, ""}, save);
        if (auto s = replacement.apply(history); !s) return s;
        return plan;
    });
}

wire::Status SqlStore::historyPage(const HistoryPageQuery& query, wire::PacketSink& out) {
    return readHistoryPage(*m_conn, query, out);
}

wire::Result<ActionPlan> SqlStore::undoSave(std::string_view save, bool apply,
                                            std::string_view user) {
    return planned(apply, [&](SqlConnection& conn, bool applying) -> wire::Result<ActionPlan> {
        SaveUndo undo(conn, save);
        if (auto s = undo.load(); !s) return s;
        if (!applying) return undo.plan();
        SaveRecord record(conn, user, kUndoOrigin, now(), undo.save());
        if (auto s = undo.claim(record); !s) return s;
        auto plan = undo.plan();
        if (!plan || !plan->applicable()) return plan;
        HistoryRecorder history(conn, {user, kUndoOrigin, ""}, record);
        if (auto s = undo.apply(history); !s) return s;
        return plan;
    });
}

wire::Status SqlStore::copyGroup(const GroupCopy& copy, std::string_view user) {
    return inTransaction([&](SqlConnection& conn) {
        SaveRecord save(conn, user, kCopyOrigin, now());
        HistoryRecorder history(conn, {user, kCopyOrigin, ""}, save);
        return copyGroupRows(conn, copy, history);
    });
}

}  // namespace appserver
