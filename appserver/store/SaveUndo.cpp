#include "store/SaveUndo.h"

#include <charconv>
#include <cstdint>

#include "store/ConstraintMessages.h"
#include "store/FirstRowSink.h"
#include "store/TableWriter.h"
#include "store/UtcTime.h"
#include "wire/Packet.h"

namespace appserver {

namespace {

namespace col = wire::column;

const Query kSave{"SELECT undoes, undone_by FROM saves WHERE id = CAST($1 AS BIGINT)"};
const Query kEntries{
    "SELECT id, kind, old_row, new_row FROM history WHERE save_id = CAST($1 AS BIGINT) "
    "ORDER BY id"};
const Query kClaim{
    "UPDATE saves SET undone_by = CAST($2 AS BIGINT) WHERE id = CAST($1 AS BIGINT) "
    "AND undone_by IS NULL"};
// Later entries that may have touched a row, newest first: of its list, of the groups, or of the
// catalogue.
const Query kLaterInGroup{
    "SELECT id, save_id, at_utc, user_name, old_row, new_row FROM history "
    "WHERE group_code = $2 AND id > CAST($1 AS BIGINT) ORDER BY id DESC"};
const Query kLaterGroupRows{
    "SELECT id, save_id, at_utc, user_name, old_row, new_row FROM history WHERE id > CAST($1 AS "
    "BIGINT) AND group_code IS NOT NULL AND main_product IS NULL ORDER BY id DESC"};
const Query kLaterProducts{
    "SELECT id, save_id, at_utc, user_name, old_row, new_row FROM history WHERE id > CAST($1 AS "
    "BIGINT) AND group_code IS NULL ORDER BY id DESC"};

// Each table's row by its key, in the writer's field order.
struct CurrentRow {
    Query query;
    std::vector<std::string_view> fields;
};
const CurrentRow kProductRow{
    {"SELECT CDPRODUTO, CDARVPROD, NMPRODUTO FROM PRODUTO WHERE CDPRODUTO = $1"},
    {col::CDPRODUTO.name, col::CDARVPROD.name, col::NMPRODUTO.name}};
const CurrentRow kGroupRow{{"SELECT CDGRUSUGESPROD, NMGRUSUGESPROD, NRORDEM FROM GRUSUGESPROD "
                            "WHERE CDGRUSUGESPROD = $1"},
                           {col::CDGRUSUGESPROD.name, col::NMGRUSUGESPROD.name, col::NRORDEM.name}};
const CurrentRow kMainRow{
    {"SELECT CDGRUSUGESPROD, CDPRODUTO, IDQUANTPRODPRINC, IDTOTALPRODPRINC FROM PRODPRINC "
     "WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2"},
    {col::CDGRUSUGESPROD.name, col::CDPRODUTO.name, col::IDQUANTPRODPRINC.name,
     col::IDTOTALPRODPRINC.name}};
const CurrentRow kRelatedRow{
    {"SELECT CDGRUSUGESPROD, CDPRODUTO, CDPRODUTORELAC, IDQUANTPROD, IDTOTALPROD FROM PRODRELAC "
     "WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2 AND CDPRODUTORELAC = $3"},
    {col::CDGRUSUGESPROD.name, col::CDPRODUTO.name, col::CDPRODUTORELAC.name, col::IDQUANTPROD.name,
     col::IDTOTALPROD.name}};

// The rows an undo deleting a group or main product would take along.
const Query kMainsOfGroup{"SELECT CDPRODUTO FROM PRODPRINC WHERE CDGRUSUGESPROD = $1"};
const Query kRelatedOfMain{
    "SELECT CDPRODUTORELAC FROM PRODRELAC WHERE CDGRUSUGESPROD = $1 AND CDPRODUTO = $2"};

const CurrentRow& currentRowOf(StoredTable table) {
    switch (table) {
        case StoredTable::Products:
            return kProductRow;
        case StoredTable::Groups:
            return kGroupRow;
        case StoredTable::MainProducts:
            return kMainRow;
        case StoredTable::RelatedProducts:
            break;
    }
    return kRelatedRow;
}

bool isNumber(std::string_view text) {
    std::int64_t n = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    return error == std::errc() && end == text.data() + text.size() && n > 0;
}

wire::Status refused(std::string message) { return {wire::ErrorCode::Refused, std::move(message)}; }

// The table and the values of the key, as one text.
std::string keyOf(StoredTable table, std::span<const wire::ValueView> key) {
    std::string text(1, static_cast<char>('0' + static_cast<int>(table)));
    for (const wire::ValueView& v : key) text += '\x1f' + std::string(v.value_or(""));
    return text;
}

std::vector<wire::ValueView> keyValues(const StoredRow& row) {
    std::vector<wire::ValueView> key;
    for (std::string_view name : row.keyNames()) key.push_back(row.value(name));
    return key;
}

std::string keyOf(const StoredRow& row) { return keyOf(row.table(), keyValues(row)); }

wire::Result<wire::Packet> rowsOf(SqlConnection& conn, const Query& query,
                                  std::span<const wire::ValueView> params) {
    wire::Packet rows;
    if (SqlError err = conn.run(query, params, &rows)) return ConstraintMessages::describe(err);
    return rows;
}

}  // namespace

wire::Status SaveUndo::refuseIfUndone(const wire::Value& undoneBy) {
    if (!undoneBy) return {};
    return refused("A gravação " + m_save + " já foi desfeita pela gravação " + *undoneBy + ".");
}

wire::Status SaveUndo::load() {
    if (!isNumber(m_save))
        return refused("Gravação \"" + m_save + "\" inválida: informe o número da gravação.");
    const wire::ValueView id[] = {m_save};
    FirstRowSink save;
    if (SqlError err = m_conn.run(kSave, id, &save)) return ConstraintMessages::describe(err);
    if (!save.found()) return refused("Gravação " + m_save + " não encontrada.");
    if (auto s = refuseIfUndone(save.row()[1]); !s) return s;
    if (const wire::Value& undone = save.row()[0]) {
        FirstRowSink first;
        const wire::ValueView undoneId[] = {undone};
        if (SqlError err = m_conn.run(kSave, undoneId, &first))
            return ConstraintMessages::describe(err);
        if (first.found() && first.row()[0])
            return refused("A gravação " + m_save + " desfaz o desfazimento da gravação " +
                           *undone + " e não pode ser desfeita.");
    }
    auto rows = rowsOf(m_conn, kEntries, id);
    if (!rows) return rows.status();
    if (rows->rows.empty()) return refused("A gravação " + m_save + " não tem alterações.");
    m_entries.clear();
    m_final.clear();
    for (const auto& r : rows->rows) {
        auto before = StoredRow::parseIfAny(r[2]);
        auto after = StoredRow::parseIfAny(r[3]);
        if (!before || !after) return !before ? before.status() : after.status();
        const std::size_t line = m_entries.size() + 1;
        if (*before) {
            Final& final = m_final[keyOf(**before)];
            final = {line, std::nullopt, final.inserted};
        }
        if (*after) {
            const std::string key = keyOf(**after);
            const bool inserted = !*before && !m_final.contains(key);
            auto [it, added] = m_final.try_emplace(key, Final{line, *after, inserted});
            if (!added) it->second = {line, *after, it->second.inserted};
        }
        m_entries.push_back({entryKindNamed(r[1]), std::move(*before), std::move(*after)});
        m_lastEntry = r[0].value_or("0");
    }
    return {};
}

wire::Status SaveUndo::claim(SaveRecord& undo) {
    auto undoId = undo.id();
    if (!undoId) return undoId.status();
    const wire::ValueView params[] = {m_save, *undoId};
    std::int64_t changed = 0;
    if (SqlError err = m_conn.run(kClaim, params, nullptr, &changed))
        return ConstraintMessages::describe(err);
    if (changed == 1) return {};
    FirstRowSink save;
    const wire::ValueView id[] = {m_save};
    if (SqlError err = m_conn.run(kSave, id, &save)) return ConstraintMessages::describe(err);
    if (auto s = refuseIfUndone(save.found() ? save.row()[1] : wire::Value()); !s) return s;
    return {wire::ErrorCode::Conflict, kConflictMessage};
}

wire::Result<std::string> SaveUndo::lastChangeOf(const StoredRow& row) {
    const std::string group(row.value(col::CDGRUSUGESPROD.name).value_or(""));
    const wire::ValueView params[] = {m_lastEntry, group};
    const bool ofList =
        row.table() == StoredTable::MainProducts || row.table() == StoredTable::RelatedProducts;
    const Query& query = ofList                               ? kLaterInGroup
                         : row.table() == StoredTable::Groups ? kLaterGroupRows
                                                              : kLaterProducts;
    auto later = rowsOf(m_conn, query, std::span(params).first(ofList ? 2 : 1));
    if (!later) return later.status();
    for (const auto& r : later->rows) {
        for (const wire::Value& json : {r[4], r[5]}) {
            auto other = StoredRow::parseIfAny(json);
            if (!other) return other.status();
            if (*other && (*other)->sameKey(row))
                return "por " + r[3].value_or("") + " em " + localDisplayTime(r[2].value_or("")) +
                       " (gravação " + r[1].value_or("") + ")";
        }
    }
    return std::string("fora do histórico");
}

wire::Status SaveUndo::checkRow(const Final& final, ActionPlan& plan) {
    const Entry& entry = m_entries[final.line - 1];
    const StoredRow& named = final.row ? *final.row : *entry.before;
    const CurrentRow& current = currentRowOf(named.table());
    std::vector<wire::ValueView> keyParams = keyValues(named);
    FirstRowSink now;
    if (SqlError err = m_conn.run(current.query, keyParams, &now))
        return ConstraintMessages::describe(err);
    bool same = now.found() == final.row.has_value();
    for (std::size_t i = 0; same && final.row && i < current.fields.size(); ++i)
        same = final.row->value(current.fields[i]) == wire::ValueView(now.row()[i]);
    if (same) return checkNoneAdded(final, plan);
    auto by = lastChangeOf(named);
    if (!by) return by.status();
    const std::string subject = m_wording.words(EntryKind::Insert, nullptr, &named).subject;
    plan.problems.push_back({final.line, subject + " foi alterado depois " + *by + "."});
    return {};
}

wire::Status SaveUndo::checkNoneAdded(const Final& final, ActionPlan& plan) {
    if (!final.inserted || !final.row) return {};
    const StoredRow& row = *final.row;
    const bool group = row.table() == StoredTable::Groups;
    if (!group && row.table() != StoredTable::MainProducts) return {};
    std::vector<wire::ValueView> key = keyValues(row);
    auto children = rowsOf(m_conn, group ? kMainsOfGroup : kRelatedOfMain, key);
    if (!children) return children.status();
    const StoredTable childTable = group ? StoredTable::MainProducts : StoredTable::RelatedProducts;
    for (const auto& child : children->rows) {
        std::vector<wire::ValueView> childKey = key;
        childKey.push_back(child[0]);
        auto it = m_final.find(keyOf(childTable, childKey));
        if (it != m_final.end() && it->second.row) continue;  // the undo removes it first
        std::string name = std::string(*child[0]);
        plan.problems.push_back(
            {final.line, m_wording.words(EntryKind::Insert, nullptr, &row).subject +
                             " recebeu depois " + (group ? "o principal " : "o relacionado ") +
                             name + " e não pode ser excluído pelo desfazer."});
    }
    return {};
}

wire::Result<ActionPlan> SaveUndo::plan() {
    ActionPlan plan;
    for (const auto& entry : m_final)
        if (auto s = checkRow(entry.second, plan); !s) return s;
    for (std::size_t i = m_entries.size(); i-- > 0;) {
        const Entry& e = m_entries[i];
        const std::size_t line = i + 1;
        if (e.kind == EntryKind::Insert && e.after->table() == StoredTable::Products) {
            plan.problems.push_back(
                {line, "Produto " + std::string(e.after->value(col::CDPRODUTO.name).value_or("")) +
                           " incluído no cadastro: o desfazer não exclui produtos."});
            continue;
        }
        // The inverse of the entry, in the words of its own kind.
        const EntryKind inverse = e.kind == EntryKind::Insert   ? EntryKind::Delete
                                  : e.kind == EntryKind::Delete ? EntryKind::Insert
                                                                : EntryKind::Modify;
        auto w = m_wording.words(inverse, e.after ? &*e.after : nullptr,
                                 e.before ? &*e.before : nullptr);
        const PlanAction action = inverse == EntryKind::Insert   ? PlanAction::Include
                                  : inverse == EntryKind::Delete ? PlanAction::Exclude
                                                                 : PlanAction::Alter;
        plan.changes.push_back({line, action, w.subject, w.before, w.after});
    }
    return plan;
}

wire::Status SaveUndo::apply(HistoryRecorder& history) {
    for (std::size_t i = m_entries.size(); i-- > 0;) {
        const Entry& e = m_entries[i];
        const std::vector<std::string_view> fields(e.row().names().begin(), e.row().names().end());
        wire::ChangeLog log = logOver(fields);
        const std::vector<wire::Value> none;
        const auto& was = e.before ? e.before->values() : none;
        const auto& is = e.after ? e.after->values() : none;
        const wire::ChangeKind kind = e.kind == EntryKind::Insert   ? wire::ChangeKind::Delete
                                      : e.kind == EntryKind::Delete ? wire::ChangeKind::Insert
                                                                    : wire::ChangeKind::Modify;
        log.changes.push_back({kind, is, was});
        if (auto s = writeTable(m_conn, e.row().table(), log, history); !s) return s;
    }
    return {};
}

}  // namespace appserver
