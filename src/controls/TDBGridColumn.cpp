#include "controls/TDBGridColumn.h"

TColumn& TDBGridColumns::Add(std::string fieldName, int width, std::string title) {
    TColumn& column = m_items.emplace_back();
    column.FieldName = std::move(fieldName);
    column.Width = width;
    column.Title.Caption = std::move(title);
    column.ReadOnly.m_owner = this;
    column.ButtonStyle.m_owner = this;
    return column;
}
