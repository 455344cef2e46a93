#pragma once
// A client record set: rows of text-or-null values over a design-time field list, a current row,
// states inactive/browse/edit/insert, and a change log of the inserts, modifications (with their
// original values) and deletions since the last merge.
//
// Contract (what grids, data sources and screens rely on):
// - Failures throw EDatabaseError and leave the record set as it was. An exception thrown by
//   BeforePost refuses the post: the row stays in its editing state and the exception goes on.
// - SetData replaces everything, empties the change log, opens in browse on the first row and
//   does not raise AfterScroll. A packet that lacks a design-time field, or whose value does not
//   fit a design-time field's size, is refused naming the field; fields the record set does not
//   know are ignored.
// - AfterScroll is raised when another row becomes current: a move, a Locate to another row, a
//   Delete or a cancelled Insert (always, even when no row is left), an inserted row becoming
//   current.
// - Edit while editing changes nothing; Insert, Append, moves and Locate first end a pending
//   edit: posted when a field was set (Modified), else cancelled, so an untouched new row
//   vanishes. Delete while editing drops the edit with the row.
// - The change log folds: insert then edits = one insert with the final values; edits of an
//   unchanged row = one modification with the original values; a modified row deleted = one
//   deletion with the original values; deleting a row inserted since the last merge = nothing.
//   ChangeCount, Delta and MergeChangeLog cost in proportion to the changes, not the rows.
// - Not thread-safe: one thread (the UI thread) uses it.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dataaccess/EDatabaseError.h"
#include "dataaccess/TDataSetState.h"
#include "dataaccess/TField.h"
#include "dataaccess/TFieldDef.h"

class TDataSetObserver;
class TClientDataSet;

using TDataSetNotifyEvent = std::function<void(TClientDataSet&)>;

class TClientDataSet {
  public:
    TClientDataSet(std::string name, std::vector<TFieldDef> fields);
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    const std::string& Name() const { return m_name; }

    // Fields
    int FieldCount() const;
    TField& Fields(int index) const;
    TField& FieldByName(std::string_view name) const;  // throws EDatabaseError naming the field
    TField* FindField(std::string_view name) const;    // nullptr when absent

    // State and content
    TDataSetState State() const;
    bool Active() const { return State() != TDataSetState::dsInactive; }
    void Open();              // an empty, active record set
    void Close();             // inactive, no rows, empty change log
    bool IsEmpty() const;     // no rows (an inserting row counts as a row)
    int RecordCount() const;  // rows, an inserting row included
    int RecNo() const;        // current row, 0-based; -1 when empty or inactive
    // The edit buffer changed since Edit/Insert began; values AfterInsert writes are defaults
    // and do not count.
    bool Modified() const;

    // Packets (JSON text, docs/protocol.md)
    void SetData(std::string_view packetJson);
    std::string Data() const;  // the current rows as a packet (posted values)

    // Navigation; each posts a pending edit first and raises AfterScroll when the row changes.
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveTo(int row);
    bool Bof() const;
    bool Eof() const;
    // Exact, case-sensitive match on one field; the first matching row becomes current. Returns
    // false and moves nothing when no row matches.
    bool Locate(std::string_view fieldName, std::string_view value);

    // Editing
    void Insert();  // a new row before the current one
    void Append();  // a new row after the last one
    void Edit();    // on an empty record set it begins a new row (Insert)
    void Post();
    void Cancel();
    void Delete();  // the current row; in insert state it cancels the insert

    // Change log
    int ChangeCount() const;
    std::string Delta() const;  // the pending changes as a change log (wire format)
    void MergeChangeLog();
    void CancelUpdates();  // back to the last merged state; keeps a sensible row
    bool RowChanged(int row) const;  // the posted row carries a pending insert or modification

    // Values for views: row is 0-based; the current row shows its edit buffer while editing.
    // nullopt for null and for a row or field out of range. The view lives until the record set
    // next changes (copy it to keep it).
    std::optional<std::string_view> ValueAt(int row, int field) const;

    // Events (assign freely; empty means none)
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit, BeforePost, AfterPost,
        BeforeCancel, AfterCancel, BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    // Empties every event above: an owner calls it before the object its handlers use goes.
    void ClearEvents();

    // While a view paints row `row`, fields read that row, as desktop toolkits make the painted
    // record active; -1 (or a row out of range) goes back to the current row. The current row,
    // the state and a pending edit are untouched, and writes still go to the current row.
    void SetDisplayRow(int row);

    void AddObserver(TDataSetObserver* observer);
    void RemoveObserver(TDataSetObserver* observer);

    // Used by TField. FieldValue's view lives until the record set next changes.
    void SetFieldValue(int field, std::optional<std::string_view> value);
    std::optional<std::string_view> FieldValue(int field) const;
    std::optional<std::string_view> FieldOldValue(int field) const;
    void RequestFocus(TField& field);

  private:
    struct Impl;
    std::string m_name;
    std::unique_ptr<Impl> m_impl;
};
