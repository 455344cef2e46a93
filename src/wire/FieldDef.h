#pragma once
// One field of a packet: its name and its size in characters.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wire {

struct FieldDef {
    std::string name;
    int size = 0;
    bool operator==(const FieldDef&) const = default;
};

// A field value: text, or null (distinct from the empty text).
using Value = std::optional<std::string>;
using ValueView = std::optional<std::string_view>;

// Characters (code points) of valid UTF-8 text; sizes are counted this way, not in bytes.
std::size_t utf8Length(std::string_view text);

// True when text is well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view text);

// Index of the field with that exact name, or -1.
int fieldIndex(const std::vector<FieldDef>& fields, std::string_view name);

}  // namespace wire
