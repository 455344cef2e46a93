#include "wire/ColumnFields.h"

#include <string>

namespace wire {

std::vector<FieldDef> fieldDefs(std::span<const Column> columns) {
    std::vector<FieldDef> fields;
    fields.reserve(columns.size());
    for (const Column& c : columns) fields.push_back({std::string(c.name), c.size});
    return fields;
}

}  // namespace wire
