#pragma once
// The fields a writer needs from a change log, found by name once per log, and the checks every
// new value passes before it reaches the database: required, size in characters, flag values.

#include <span>
#include <string_view>
#include <vector>

#include "wire/ChangeLog.h"
#include "wire/RemoteModule.h"
#include "wire/Status.h"

namespace appserver {

// Name, size and flag come from the remote module's description.
struct FieldRule {
    wire::Column column;
    const char* label;         // as the user knows the field: "Código", "Nome", ...
    const char* emptyMessage;  // null: the field may be empty or null
};

class LogFields {
  public:
    // BadPacket when the log lacks one of the rules' fields or an entry has the wrong value count.
    static wire::Result<LogFields> resolve(const wire::ChangeLog& log,
                                           std::span<const FieldRule> rules);

    // The value of rule number `rule` in a row of the log.
    wire::ValueView value(const std::vector<wire::Value>& row, std::size_t rule) const;
    // Refused, with the user's wording, when a new value breaks its rule.
    wire::Status check(const std::vector<wire::Value>& row) const;
    std::span<const FieldRule> rules() const { return m_rules; }

  private:
    std::span<const FieldRule> m_rules;
    std::vector<std::size_t> m_index;  // rule -> position in the log's field list
};

}  // namespace appserver
