#include "transfer/FieldChecks.h"

#include "wire/FieldDef.h"

namespace appserver {

void FieldChecks::refuse(std::size_t column, std::string message) {
    m_problems.push_back({m_record.line, column, std::move(message)});
}

bool FieldChecks::required(std::size_t column, std::string_view label, const wire::Column& size) {
    if (!value(column).empty()) return fits(column, label, size);
    refuse(column, std::string(label) + " deve ser informado");
    return false;
}

bool FieldChecks::fits(std::size_t column, std::string_view label, const wire::Column& size) {
    if (wire::utf8Length(value(column)) <= static_cast<std::size_t>(size.size)) return true;
    refuse(column,
           std::string(label) + " deve ter no máximo " + std::to_string(size.size) + " caracteres");
    return false;
}

bool FieldChecks::flag(std::size_t column, std::string_view label) {
    const std::string& v = value(column);
    if (v.empty() || v == "S" || v == "N") return true;
    refuse(column, std::string(label) + " deve ser S, N ou vazio, não \"" + v + "\"");
    return false;
}

bool FieldChecks::digits(std::size_t column, std::string_view label, const wire::Column& size) {
    const std::string& v = value(column);
    if (v.size() == static_cast<std::size_t>(size.size) &&
        v.find_first_not_of("0123456789") == std::string::npos)
        return true;
    refuse(column, std::string(label) + " \"" + v + "\" inválido: deve ter " +
                       std::to_string(size.size) + " dígitos");
    return false;
}

}  // namespace appserver
