#include "store/ChangeApplier.h"

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"

namespace appserver {

namespace {

std::span<const wire::ValueView> asSpan(std::initializer_list<wire::ValueView> params) {
    return {params.begin(), params.size()};
}

}  // namespace

wire::Status ChangeApplier::apply(const wire::ChangeLog& log, HistoryRecorder* history) {
    auto fields = LogFields::resolve(log, rules());
    if (!fields) return fields.status();
    m_history = history;
    for (const wire::Change& change : log.changes) {
        wire::Status status;
        switch (change.kind) {
            case wire::ChangeKind::Insert:
                status = fields->check(change.newValues);
                if (status) status = insert(*fields, change.newValues);
                break;
            case wire::ChangeKind::Modify:
                status = fields->check(change.newValues);
                if (status) status = modify(*fields, change.oldValues, change.newValues);
                break;
            case wire::ChangeKind::Delete:
                status = remove(*fields, change.oldValues);
                break;
        }
        if (status && history) status = history->record(change, *fields);
        if (!status) return status;
    }
    return {};
}

wire::Status ChangeApplier::exec(const Query& query, Params params,
                                 std::string_view foreignKeyMessage) {
    SqlError err = m_conn.run(query, asSpan(params), nullptr);
    return ConstraintMessages::describe(err, foreignKeyMessage);
}

wire::Status ChangeApplier::execMatching(const Query& query, Params params,
                                         std::string_view foreignKeyMessage) {
    std::int64_t changed = 0;
    SqlError err = m_conn.run(query, asSpan(params), nullptr, &changed);
    if (err) return ConstraintMessages::describe(err, foreignKeyMessage);
    if (changed != 1) return {wire::ErrorCode::Conflict, kConflictMessage};
    return {};
}

wire::Status ChangeApplier::refuseUnlessFound(const Query& query, Params params,
                                              std::string_view message) {
    return refuseWhenFound(false, query, params, message);
}

wire::Status ChangeApplier::refuseIfFound(const Query& query, Params params,
                                          std::string_view message) {
    return refuseWhenFound(true, query, params, message);
}

wire::Status ChangeApplier::refuseWhenFound(bool found, const Query& query, Params params,
                                            std::string_view message) {
    FirstRowSink first;
    if (SqlError err = m_conn.run(query, asSpan(params), &first)) {
        return ConstraintMessages::describe(err);
    }
    if (first.found() == found) return {wire::ErrorCode::Refused, std::string(message)};
    return {};
}

}  // namespace appserver
