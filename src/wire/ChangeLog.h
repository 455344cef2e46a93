#pragma once
// A change log (delta): the field list and an ordered list of changes, each an inserted row
// (its values), a modified row (original and new values) or a deleted row (original values).
// Replayed in order by whoever applies it.

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "wire/FieldDef.h"
#include "wire/Status.h"

namespace wire {

enum class ChangeKind { Insert, Modify, Delete };

struct Change {
    ChangeKind kind = ChangeKind::Insert;
    std::vector<Value> oldValues;  // Modify and Delete: the row as it was read
    std::vector<Value> newValues;  // Insert and Modify: the row as it is to be
    bool operator==(const Change&) const = default;
};

struct ChangeLog {
    std::vector<FieldDef> fields;
    std::vector<Change> changes;

    // Refuses what readPacket refuses, plus an unknown kind, a missing or extra "old"/"new".
    static Result<ChangeLog> fromJson(std::string_view json);
    std::string toJson() const;
    bool operator==(const ChangeLog&) const = default;
};

// Streams a change log out without building a ChangeLog first (the record set's Delta).
class ChangeLogWriter {
  public:
    explicit ChangeLogWriter(std::string& out);
    ~ChangeLogWriter();
    ChangeLogWriter(const ChangeLogWriter&) = delete;
    ChangeLogWriter& operator=(const ChangeLogWriter&) = delete;

    void fields(const std::vector<FieldDef>& fields);
    void inserted(std::span<const ValueView> newValues);
    void modified(std::span<const ValueView> oldValues, std::span<const ValueView> newValues);
    void deleted(std::span<const ValueView> oldValues);
    void finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace wire
