#pragma once
// Internal: the writer every encoder uses, and the helpers that write our value shapes.

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <span>
#include <string>
#include <vector>

#include "wire/FieldDef.h"
#include "wire/JsonAllocator.h"

namespace wire::detail {

using JsonBuffer = rapidjson::GenericStringBuffer<rapidjson::UTF8<>, JsonAllocator>;
using JsonWriter =
    rapidjson::Writer<JsonBuffer, rapidjson::UTF8<>, rapidjson::UTF8<>, JsonAllocator>;

inline void writeText(JsonWriter& w, std::string_view text) {
    w.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

inline void writeValues(JsonWriter& w, std::span<const ValueView> values) {
    w.StartArray();
    for (const ValueView& v : values) {
        if (v) {
            writeText(w, *v);
        } else {
            w.Null();
        }
    }
    w.EndArray();
}

inline void writeFields(JsonWriter& w, const std::vector<FieldDef>& fields) {
    w.Key("fields");
    w.StartArray();
    for (const FieldDef& f : fields) {
        w.StartObject();
        w.Key("name");
        writeText(w, f.name);
        w.Key("size");
        w.Int(f.size);
        w.EndObject();
    }
    w.EndArray();
}

// Views of owned values, for the span-based writers.
inline std::vector<ValueView> views(const std::vector<Value>& values) {
    std::vector<ValueView> out;
    out.reserve(values.size());
    for (const Value& v : values) out.push_back(v ? ValueView(*v) : std::nullopt);
    return out;
}

}  // namespace wire::detail
