#include "store/LogFields.h"

#include "store/TextKeys.h"
#include "wire/FieldDef.h"

namespace appserver {

namespace {

wire::Status wrongShape(const std::string& why) {
    return {wire::ErrorCode::BadPacket,
            "O registro de alterações não corresponde a este cadastro: " + why + "."};
}

bool countsFit(const wire::Change& change, std::size_t fields) {
    bool needsOld = change.kind != wire::ChangeKind::Insert;
    bool needsNew = change.kind != wire::ChangeKind::Delete;
    return (needsOld ? change.oldValues.size() == fields : change.oldValues.empty()) &&
           (needsNew ? change.newValues.size() == fields : change.newValues.empty());
}

}  // namespace

wire::Result<LogFields> LogFields::resolve(const wire::ChangeLog& log,
                                           std::span<const FieldRule> rules) {
    LogFields fields;
    fields.m_rules = rules;
    for (const FieldRule& rule : rules) {
        int at = wire::fieldIndex(log.fields, rule.column.name);
        if (at < 0) return wrongShape("falta o campo " + std::string(rule.column.name));
        fields.m_index.push_back(static_cast<std::size_t>(at));
    }
    for (std::size_t i = 0; i < log.changes.size(); ++i) {
        if (!countsFit(log.changes[i], log.fields.size())) {
            return wrongShape("a alteração " + std::to_string(i + 1) +
                              " não tem um valor por campo");
        }
    }
    return fields;
}

wire::ValueView LogFields::value(const std::vector<wire::Value>& row, std::size_t rule) const {
    const wire::Value& v = row[m_index[rule]];
    return v ? wire::ValueView(*v) : std::nullopt;
}

wire::Status LogFields::check(const std::vector<wire::Value>& row) const {
    for (std::size_t r = 0; r < m_rules.size(); ++r) {
        const FieldRule& rule = m_rules[r];
        wire::ValueView v = value(row, r);
        std::string label = rule.label;
        if (v && !wire::isValidUtf8(*v)) {
            return {wire::ErrorCode::BadPacket, label + " não é um texto UTF-8 válido."};
        }
        if (v && v->find('\0') != std::string_view::npos) {
            return {wire::ErrorCode::Refused, label + " contém um caractere inválido."};
        }
        if (rule.emptyMessage && (!v || trimBlanks(*v).empty())) {
            return {wire::ErrorCode::Refused, rule.emptyMessage};
        }
        if (rule.column.flag && v && *v != "S" && *v != "N") {
            return {wire::ErrorCode::Refused, label + " deve ser \"S\" ou \"N\"."};
        }
        if (v && wire::utf8Length(*v) > static_cast<std::size_t>(rule.column.size)) {
            return {
                wire::ErrorCode::Refused,
                label + " deve ter no máximo " + std::to_string(rule.column.size) + " caracteres."};
        }
    }
    return {};
}

}  // namespace appserver
