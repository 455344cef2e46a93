#pragma once
// Internals of TClientDataSet shared by its source files; not part of the public interface.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dataaccess/DataSetChangeLog.h"
#include "dataaccess/RowStore.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TDataSetObserver.h"
#include "wire/FieldDef.h"

struct TClientDataSet::Impl {
    Impl(TClientDataSet& owner, std::vector<wire::FieldDef> defs)
        : self(owner), wireFields(std::move(defs)), rows(static_cast<int>(wireFields.size())) {}

    TClientDataSet& self;
    std::vector<std::unique_ptr<TField>> fields;
    std::vector<wire::FieldDef> wireFields;  // design-time fields as packets carry them
    TDataSetState state = TDataSetState::dsInactive;
    RowStore rows;  // a nullptr row is the one being inserted
    DataSetChangeLog log;
    int current = -1;
    int beforeInsert = -1;            // current row before Insert/Append, where Cancel returns
    int displayRow = -1;              // the row a view paints, read instead of the current one
    std::vector<wire::Value> buffer;  // the edit buffer while editing
    bool modified = false;
    bool bof = true;
    bool eof = true;
    std::vector<TDataSetObserver*> observers;

    bool editing() const {
        return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
    }
    [[noreturn]] void fail(const std::string& message) const {
        throw EDatabaseError(self.Name() + ": " + message);
    }
    void checkActive() const {
        if (state == TDataSetState::dsInactive) fail("o conjunto de registros não está aberto.");
    }
    void fire(const TDataSetNotifyEvent& event) {
        if (event) event(self);
    }
    // Observers may detach (or attach) while being told; each is told only if still attached.
    template <class Call>
    void notify(Call call) {
        const std::vector<TDataSetObserver*> snapshot = observers;
        for (TDataSetObserver* observer : snapshot)
            if (std::find(observers.begin(), observers.end(), observer) != observers.end())
                call(*observer);
    }
    void setState(TDataSetState next) {
        if (state == next) return;
        state = next;
        notify([next](TDataSetObserver& o) { o.StateChanged(next); });
    }

    // Ends a pending edit as a data-aware toolkit does before moving: posts it when something
    // was typed, else cancels it (an untouched new row vanishes).
    void checkBrowseMode() {
        if (!editing()) return;
        if (modified)
            self.Post();
        else
            self.Cancel();
    }
    // Drops the edit buffer (and the row being inserted) without events or notifications.
    void discardEdit() {
        if (state == TDataSetState::dsInsert) {
            rows.erase(current);
            current = rows.empty() ? -1 : std::clamp(beforeInsert, 0, rows.size() - 1);
        }
        buffer.clear();
        modified = false;
        state = TDataSetState::dsBrowse;
    }
    // Open and Close: no rows, no changes, then tells observers.
    void resetEmpty(TDataSetState next);
    // Insert and Append: a new row before the current one, or after the last one.
    void beginInsert(bool append);
    // Makes `row` current with the scroll events; nothing happens when it already is.
    void scrollTo(int row);
    wire::ValueView currentValue(int field) const;
};
