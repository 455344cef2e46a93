#pragma once
// A field of a TClientDataSet: reads and writes the current row's value as text. Owned by its
// record set; a reference stays valid for the record set's lifetime.

#include <optional>
#include <string>
#include <string_view>

#include "dataaccess/TFieldDef.h"

class TClientDataSet;

class TField {
public:
    TField(TClientDataSet& dataSet, int index, TFieldDef def);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const std::string& FieldName() const { return m_def.Name; }
    int Size() const { return m_def.Size; }
    int Index() const { return m_index; }
    TClientDataSet& DataSet() const { return m_dataSet; }

    // Value of the current row (the edit buffer while editing); "" for null or an empty set.
    std::string AsString() const;
    // Throws EDatabaseError when the record set is not editing or the text is longer than Size
    // (in characters) or not valid UTF-8; the value is then unchanged.
    void SetAsString(std::string_view text);
    bool IsNull() const;
    void Clear();                                  // sets null; same rules as SetAsString
    std::optional<std::string> Value() const;      // null as nullopt
    std::optional<std::string> OldValue() const;   // the value before the current edit began
    void FocusControl();                           // asks the grid showing it to focus its cell

    std::string DisplayLabel() const { return m_def.DisplayLabel.empty() ? m_def.Name : m_def.DisplayLabel; }
    int DisplayWidth() const { return m_def.DisplayWidth > 0 ? m_def.DisplayWidth : m_def.Size; }
    bool Visible() const { return m_def.Visible; }
    void SetVisible(bool visible) { m_def.Visible = visible; }
    std::string EditMask;  // applied to typing by grids; syntax of TEditMask (framework)
    int Tag = 0;

private:
    TClientDataSet& m_dataSet;
    int m_index;
    TFieldDef m_def;
};
