#pragma once
// A row as the history keeps it (a JSON object of the fields its writer wrote, in the writer's
// order) and the table it belongs to, told by its fields, with the fields that name the row.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wire/ChangeLog.h"
#include "wire/Status.h"

namespace appserver {

enum class StoredTable { Products, Groups, MainProducts, RelatedProducts };

// What a history row did: its kind column "insert", "modify" or "delete".
enum class EntryKind { Insert, Modify, Delete };
EntryKind entryKindNamed(const wire::Value& kind);

class StoredRow {
  public:
    // Internal when the text is not a flat object of strings and nulls.
    static wire::Result<StoredRow> parse(std::string_view json);
    // A history row's old or new row: nullopt where the column is null (no such row).
    static wire::Result<std::optional<StoredRow>> parseIfAny(const wire::Value& json);

    StoredTable table() const;
    // The fields that name the row in its table (a group's code; group and product of a main
    // product; group, main and related product of a related one; a product's code).
    std::span<const std::string_view> keyNames() const;
    bool sameKey(const StoredRow& other) const;

    // The value of a field, nullopt when null or absent.
    wire::ValueView value(std::string_view name) const;
    const std::vector<std::string>& names() const { return m_names; }
    const std::vector<wire::Value>& values() const { return m_values; }

  private:
    std::vector<std::string> m_names;
    std::vector<wire::Value> m_values;
};

}  // namespace appserver
