#include "dataaccess/TField.h"

#include "dataaccess/TClientDataSet.h"

TField::TField(TClientDataSet& dataSet, int index, TFieldDef def)
    : m_dataSet(dataSet), m_index(index), m_def(std::move(def)) {}

std::string TField::AsString() const {
    const auto value = m_dataSet.FieldValue(m_index);
    return value ? std::string(*value) : std::string();
}

void TField::SetAsString(std::string_view text) { m_dataSet.SetFieldValue(m_index, text); }

bool TField::IsNull() const { return !m_dataSet.FieldValue(m_index).has_value(); }

void TField::Clear() { m_dataSet.SetFieldValue(m_index, std::nullopt); }

std::optional<std::string> TField::Value() const {
    const auto value = m_dataSet.FieldValue(m_index);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

std::optional<std::string> TField::OldValue() const {
    const auto value = m_dataSet.FieldOldValue(m_index);
    return value ? std::optional<std::string>(*value) : std::nullopt;
}

void TField::FocusControl() { m_dataSet.RequestFocus(*this); }
