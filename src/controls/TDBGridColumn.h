#pragma once
// Columns of a TDBGrid. A column shows one field of the grid's record set, found by FieldName when
// the grid lays out (a column naming no field of the record set shows blanks and is read-only).
// Change Title, Width or Visible, then call the grid's RecalcLayoutAndRepaint; ButtonStyle and
// ReadOnly take effect at once, an open cell included.

#include <functional>
#include <string>
#include <vector>

class TField;
class TDBGridColumns;

// A column setting that tells its grid when it changes; reads and assigns as the plain value.
template <class T>
class TColumnSetting {
  public:
    TColumnSetting(T value) : m_value(value) {}  // NOLINT: implicit, reads as the value
    TColumnSetting& operator=(T value);
    operator T() const { return m_value; }

  private:
    friend class TDBGridColumns;
    T m_value;
    TDBGridColumns* m_owner = nullptr;
};

enum TColumnButtonStyle { cbsAuto = 0, cbsEllipsis = 1, cbsNone = 2 };

struct TColumnTitle {
    std::string Caption;  // empty: the field's DisplayLabel
};

class TColumn {
  public:
    std::string FieldName;
    TColumnTitle Title;
    int Width = 0;  // pixels; 0: the field's DisplayWidth in characters times the average width
    TColumnSetting<bool> ReadOnly = false;
    // cbsEllipsis shows a "..." button in the current cell (OnEditButtonClick); cbsAuto and
    // cbsNone show none (there are no pick lists).
    TColumnSetting<TColumnButtonStyle> ButtonStyle = cbsAuto;
    bool Visible = true;

    TField* Field() const { return m_field; }  // nullptr when the record set lacks it

  private:
    friend class TDBGridModel;
    TField* m_field = nullptr;
};

// The column list; references stay valid until the next Add or Clear.
class TDBGridColumns {
  public:
    TColumn& Add(std::string fieldName, int width = 0, std::string title = "");
    int Count() const { return static_cast<int>(m_items.size()); }
    TColumn& Items(int index) { return m_items.at(static_cast<size_t>(index)); }
    const TColumn& Items(int index) const { return m_items.at(static_cast<size_t>(index)); }
    TColumn& operator[](int index) { return Items(index); }
    const TColumn& operator[](int index) const { return Items(index); }
    void Clear() { m_items.clear(); }
    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }

    std::function<void()> OnSettingChanged;  // set by the grid

  private:
    template <class T>
    friend class TColumnSetting;
    std::vector<TColumn> m_items;
};

template <class T>
TColumnSetting<T>& TColumnSetting<T>::operator=(T value) {
    if (value == m_value) return *this;
    m_value = value;
    if (m_owner && m_owner->OnSettingChanged) m_owner->OnSettingChanged();
    return *this;
}
