#include "dataaccess/TClientDataSet.h"

#include <unordered_set>

#include "dataaccess/TClientDataSetImpl.h"
#include "wire/Limits.h"

namespace {

std::vector<wire::FieldDef> packetFields(const std::string& name,
                                         const std::vector<TFieldDef>& defs) {
    std::vector<wire::FieldDef> out;
    std::unordered_set<std::string> seen;
    for (const TFieldDef& def : defs) {
        if (def.Name.empty() || !seen.insert(def.Name).second || def.Size > wire::kMaxFieldSize)
            throw EDatabaseError(name + ": definição inválida do campo \"" + def.Name + "\".");
        // A field without a size holds up to the protocol's limit.
        out.push_back({def.Name, def.Size > 0 ? def.Size : wire::kMaxFieldSize});
    }
    if (out.size() > wire::kMaxFields)
        throw EDatabaseError(name + ": campos demais para um conjunto de registros.");
    return out;
}

}  // namespace

TClientDataSet::TClientDataSet(std::string name, std::vector<TFieldDef> fields)
    : m_name(std::move(name)), m_impl(std::make_unique<Impl>(*this, packetFields(m_name, fields))) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        m_impl->fields.push_back(
            std::make_unique<TField>(*this, static_cast<int>(i), std::move(fields[i])));
}

TClientDataSet::~TClientDataSet() {
    m_impl->notify([](TDataSetObserver& o) { o.DataSetDestroying(); });
}

void TClientDataSet::ClearEvents() {
    for (TDataSetNotifyEvent* event :
         {&BeforeInsert, &AfterInsert, &BeforeEdit, &AfterEdit, &BeforePost, &AfterPost,
          &BeforeCancel, &AfterCancel, &BeforeDelete, &AfterDelete, &BeforeScroll, &AfterScroll})
        *event = nullptr;
}

int TClientDataSet::FieldCount() const { return static_cast<int>(m_impl->fields.size()); }

TField& TClientDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        m_impl->fail("não há campo na posição " + std::to_string(index) + ".");
    return *m_impl->fields[static_cast<std::size_t>(index)];
}

TField* TClientDataSet::FindField(std::string_view name) const {
    for (const auto& field : m_impl->fields)
        if (field->FieldName() == name) return field.get();
    return nullptr;
}

TField& TClientDataSet::FieldByName(std::string_view name) const {
    TField* field = FindField(name);
    if (!field) m_impl->fail("o campo " + std::string(name) + " não existe.");
    return *field;
}

TDataSetState TClientDataSet::State() const { return m_impl->state; }

void TClientDataSet::Impl::resetEmpty(TDataSetState next) {
    buffer.clear();
    modified = false;
    rows = RowStore(static_cast<int>(wireFields.size()));
    log.clear();
    current = -1;
    bof = eof = true;
    state = next;
    notify([](TDataSetObserver& o) { o.DataSetReset(); });
    notify([next](TDataSetObserver& o) { o.StateChanged(next); });
}

void TClientDataSet::Open() {
    if (!Active()) m_impl->resetEmpty(TDataSetState::dsBrowse);
}

void TClientDataSet::Close() {
    if (Active()) m_impl->resetEmpty(TDataSetState::dsInactive);
}

bool TClientDataSet::IsEmpty() const { return m_impl->rows.empty(); }
int TClientDataSet::RecordCount() const { return m_impl->rows.size(); }
int TClientDataSet::RecNo() const { return m_impl->current; }
bool TClientDataSet::Modified() const { return m_impl->modified; }

// Navigation -----------------------------------------------------------------------------------

void TClientDataSet::Impl::scrollTo(int row) {
    if (row == current) return;
    fire(self.BeforeScroll);
    const int old = current;
    current = row;
    notify([old, row](TDataSetObserver& o) { o.CurrentChanged(old, row); });
    fire(self.AfterScroll);
}

void TClientDataSet::First() {
    m_impl->checkActive();
    m_impl->checkBrowseMode();
    if (!IsEmpty()) m_impl->scrollTo(0);
    m_impl->bof = true;
    m_impl->eof = IsEmpty();
}

void TClientDataSet::Last() {
    m_impl->checkActive();
    m_impl->checkBrowseMode();
    if (!IsEmpty()) m_impl->scrollTo(RecordCount() - 1);
    m_impl->bof = IsEmpty();
    m_impl->eof = true;
}

void TClientDataSet::Next() {
    m_impl->checkActive();
    m_impl->checkBrowseMode();
    if (m_impl->current + 1 >= RecordCount()) {
        m_impl->eof = true;
        return;
    }
    m_impl->scrollTo(m_impl->current + 1);
    m_impl->bof = m_impl->eof = false;
}

void TClientDataSet::Prior() {
    m_impl->checkActive();
    m_impl->checkBrowseMode();
    if (m_impl->current <= 0) {
        m_impl->bof = true;
        return;
    }
    m_impl->scrollTo(m_impl->current - 1);
    m_impl->bof = m_impl->eof = false;
}

void TClientDataSet::MoveTo(int row) {
    m_impl->checkActive();
    const bool cancelsInsert = m_impl->state == TDataSetState::dsInsert && !m_impl->modified;
    const int inserted = m_impl->current;
    m_impl->checkBrowseMode();
    // The untouched new row vanished: rows below it moved up one.
    if (cancelsInsert && row > inserted) --row;
    if (IsEmpty()) return;
    m_impl->scrollTo(std::clamp(row, 0, RecordCount() - 1));
    m_impl->bof = m_impl->eof = false;
}

bool TClientDataSet::Bof() const { return m_impl->bof; }
bool TClientDataSet::Eof() const { return m_impl->eof; }

// Values ---------------------------------------------------------------------------------------

void TClientDataSet::SetDisplayRow(int row) { m_impl->displayRow = row; }

wire::ValueView TClientDataSet::Impl::currentValue(int field) const {
    if (state == TDataSetState::dsInactive) return std::nullopt;
    if (displayRow >= 0 && displayRow != current && displayRow < rows.size()) {
        const RowStore::Row block = rows.at(displayRow);  // the row being inserted has none
        return block ? rows.value(block, field) : std::nullopt;
    }
    if (current < 0) return std::nullopt;
    if (editing()) return buffer[static_cast<std::size_t>(field)];
    // A row being inserted has no stored block yet: it reads as its buffer.
    const RowStore::Row block = rows.at(current);
    return block ? rows.value(block, field) : buffer[static_cast<std::size_t>(field)];
}

std::optional<std::string_view> TClientDataSet::ValueAt(int row, int field) const {
    if (row < 0 || row >= RecordCount() || field < 0 || field >= FieldCount()) return std::nullopt;
    if (row == m_impl->current && m_impl->editing())
        return m_impl->buffer[static_cast<std::size_t>(field)];
    const RowStore::Row block = m_impl->rows.at(row);
    return block ? m_impl->rows.value(block, field) : std::nullopt;
}

std::optional<std::string_view> TClientDataSet::FieldValue(int field) const {
    return m_impl->currentValue(field);
}

std::optional<std::string_view> TClientDataSet::FieldOldValue(int field) const {
    if (!Active() || m_impl->current < 0) return std::nullopt;
    const RowStore::Row block = m_impl->rows.at(m_impl->current);  // none while inserting
    return block ? m_impl->rows.value(block, field) : std::nullopt;
}

void TClientDataSet::RequestFocus(TField& field) {
    m_impl->notify([&field](TDataSetObserver& o) { o.FocusFieldRequested(field); });
}

void TClientDataSet::AddObserver(TDataSetObserver* observer) {
    auto& list = m_impl->observers;
    if (observer && std::find(list.begin(), list.end(), observer) == list.end())
        list.push_back(observer);
}

void TClientDataSet::RemoveObserver(TDataSetObserver* observer) {
    auto& list = m_impl->observers;
    list.erase(std::remove(list.begin(), list.end(), observer), list.end());
}
