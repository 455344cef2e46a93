#pragma once
// Internal: reads the members of one {"name":...,"size":...} field object for the SAX decoders
// of packets and change logs. Each call returns an error text, empty when all is well.

#include <string>
#include <string_view>
#include <vector>

#include "wire/FieldDef.h"
#include "wire/Limits.h"

namespace wire::detail {

class FieldListReader {
  public:
    void begin() {
        m_field = {};
        m_key.clear();
        m_hasName = m_hasSize = false;
    }
    std::string key(std::string_view key) {
        if (key != "name" && key != "size") return "membro inesperado na lista de campos";
        m_key = key;
        return {};
    }
    std::string text(std::string_view text) {
        if (m_key != "name") return "texto fora do lugar na lista de campos";
        m_field.name.assign(text);
        m_hasName = true;
        return {};
    }
    std::string number(std::int64_t n) {
        if (m_key != "size") return "número fora do lugar na lista de campos";
        if (n < 1 || n > kMaxFieldSize) return "tamanho inválido no campo " + m_field.name;
        m_field.size = static_cast<int>(n);
        m_hasSize = true;
        return {};
    }
    std::string end() {
        if (!m_hasName || m_field.name.empty()) return "campo sem nome";
        if (!m_hasSize) return "campo " + m_field.name + " sem tamanho";
        if (fieldIndex(m_fields, m_field.name) >= 0) return "campo " + m_field.name + " repetido";
        if (m_fields.size() >= kMaxFields) return "campos demais";
        m_fields.push_back(std::move(m_field));
        return {};
    }
    const std::vector<FieldDef>& fields() const { return m_fields; }
    std::vector<FieldDef>& fields() { return m_fields; }

  private:
    std::vector<FieldDef> m_fields;
    FieldDef m_field;
    std::string m_key;
    bool m_hasName = false;
    bool m_hasSize = false;
};

// Checks one value against its field; returns an error text, empty when it fits.
inline std::string checkValue(const FieldDef& field, std::string_view value) {
    if (utf8Length(value) > static_cast<std::size_t>(field.size)) {
        return "valor longo demais para o campo " + field.name + " (máximo " +
               std::to_string(field.size) + " caracteres)";
    }
    return {};
}

}  // namespace wire::detail
