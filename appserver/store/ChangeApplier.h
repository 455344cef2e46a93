#pragma once
// Replays a change log, entry by entry in its order, against one table inside the caller's
// transaction. Subclasses say which fields they need and what an insert, a modification and a
// deletion mean; a modification or deletion that touches no row (the row changed or vanished
// since it was read) is a Conflict. The first failure stops the replay; the caller rolls back.
// Given a HistoryRecorder, each entry applied is recorded right after it, in the same transaction,
// after any rows it took along (history()).

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "store/HistoryRecorder.h"
#include "store/LogFields.h"
#include "store/SqlConnection.h"
#include "wire/ChangeLog.h"

namespace appserver {

class ChangeApplier {
  public:
    explicit ChangeApplier(SqlConnection& conn) : m_conn(conn) {}
    virtual ~ChangeApplier() = default;
    ChangeApplier(const ChangeApplier&) = delete;
    ChangeApplier& operator=(const ChangeApplier&) = delete;

    // history may be null: nothing is recorded (the demo catalogue, loading tools).
    wire::Status apply(const wire::ChangeLog& log, HistoryRecorder* history = nullptr);

  protected:
    using Row = std::vector<wire::Value>;
    using Params = std::initializer_list<wire::ValueView>;

    virtual std::span<const FieldRule> rules() const = 0;
    virtual wire::Status insert(const LogFields& f, const Row& values) = 0;
    virtual wire::Status modify(const LogFields& f, const Row& oldValues, const Row& newValues) = 0;
    virtual wire::Status remove(const LogFields& f, const Row& oldValues) = 0;

    // Runs a statement that writes; foreignKeyMessage words a foreign-key refusal.
    wire::Status exec(const Query& query, Params params, std::string_view foreignKeyMessage = {});
    // Runs an UPDATE or DELETE that must touch exactly the row read by the user.
    wire::Status execMatching(const Query& query, Params params,
                              std::string_view foreignKeyMessage = {});
    // Refused with message when the query finds no row (a row the change relies on is missing).
    wire::Status refuseUnlessFound(const Query& query, Params params, std::string_view message);
    // Refused with message when the query finds a row (a value already taken).
    wire::Status refuseIfFound(const Query& query, Params params, std::string_view message);

    // The history of the log being applied, for rows an entry removes beside its own; null when
    // nothing is recorded.
    HistoryRecorder* history() const { return m_history; }

    SqlConnection& m_conn;

  private:
    wire::Status refuseWhenFound(bool found, const Query& query, Params params,
                                 std::string_view message);

    HistoryRecorder* m_history = nullptr;
};

}  // namespace appserver
