#include "store/ChangeWording.h"

#include "store/FirstRowSink.h"
#include "wire/RemoteModule.h"

namespace appserver {

namespace {

namespace col = wire::column;

const Query kTreeCode{"SELECT CDARVPROD FROM PRODUTO WHERE CDPRODUTO = $1"};

struct Label {
    std::string_view field;
    const char* label;
};

// The fields shown, in this order; keys other than a group's code name the subject instead.
constexpr Label kLabels[] = {
    {col::CDGRUSUGESPROD.name, "Código"},
    {col::NMGRUSUGESPROD.name, "Nome"},
    {col::NRORDEM.name, "Ordem"},
    {col::CDARVPROD.name, "Código na árvore"},
    {col::NMPRODUTO.name, "Nome"},
    {col::IDQUANTPRODPRINC.name, "Quantidade"},
    {col::IDTOTALPRODPRINC.name, "Totalizador"},
    {col::IDQUANTPROD.name, "Quantidade"},
    {col::IDTOTALPROD.name, "Totalizador"},
};

std::string shown(wire::ValueView v) { return v ? std::string(*v) : "vazio"; }

void append(std::string& list, const char* label, const std::string& text) {
    list += (list.empty() ? "" : "; ") + std::string(label) + ": " + text;
}

// The fields of one row, the group's code left to the subject.
std::string fieldsOf(const StoredRow& row) {
    std::string list;
    for (const Label& l : kLabels) {
        if (l.field == col::CDGRUSUGESPROD.name) continue;
        for (const std::string& name : row.names())
            if (name == l.field) append(list, l.label, shown(row.value(name)));
    }
    return list;
}

}  // namespace

std::string ChangeWording::treeCode(wire::ValueView product) {
    if (!product) return "?";
    auto found = m_trees.find(*product);
    if (found != m_trees.end()) return found->second;
    FirstRowSink row;
    const wire::ValueView params[] = {product};
    // A product gone from the catalogue is named by its code.
    std::string tree = !m_conn.run(kTreeCode, params, &row) && row.found() && row.row()[0]
                           ? *row.row()[0]
                           : std::string(*product);
    return m_trees.emplace(std::string(*product), tree).first->second;
}

std::string ChangeWording::subject(const StoredRow& row) {
    switch (row.table()) {
        case StoredTable::Groups:
            return "Grupo " + shown(row.value(col::CDGRUSUGESPROD.name));
        case StoredTable::MainProducts:
            return "Principal " + treeCode(row.value(col::CDPRODUTO.name));
        case StoredTable::RelatedProducts:
            return "Relacionado " + treeCode(row.value(col::CDPRODUTORELAC.name)) + " de " +
                   treeCode(row.value(col::CDPRODUTO.name));
        case StoredTable::Products:
            break;
    }
    return "Produto " + shown(row.value(col::CDPRODUTO.name));
}

ChangeWording::Words ChangeWording::words(EntryKind kind, const StoredRow* oldRow,
                                          const StoredRow* newRow) {
    if (kind == EntryKind::Insert) return {subject(*newRow), {}, fieldsOf(*newRow)};
    if (kind == EntryKind::Delete) return {subject(*oldRow), fieldsOf(*oldRow), {}};
    Words w{subject(*oldRow), {}, {}};
    for (const Label& l : kLabels) {
        wire::ValueView before = oldRow->value(l.field), after = newRow->value(l.field);
        if (before == after) continue;
        append(w.before, l.label, shown(before));
        append(w.after, l.label, shown(after));
    }
    return w;
}

std::string ChangeWording::sentence(EntryKind kind, const StoredRow* oldRow,
                                    const StoredRow* newRow) {
    Words w = words(kind, oldRow, newRow);
    if (kind == EntryKind::Insert) return w.subject + " incluído: " + w.after;
    if (kind == EntryKind::Delete) return w.subject + " excluído: " + w.before;
    std::string changes;
    for (const Label& l : kLabels) {
        wire::ValueView before = oldRow->value(l.field), after = newRow->value(l.field);
        if (before != after) append(changes, l.label, shown(before) + " → " + shown(after));
    }
    return w.subject + ": " + (changes.empty() ? "sem mudança" : changes);
}

}  // namespace appserver
