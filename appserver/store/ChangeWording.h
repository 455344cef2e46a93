#pragma once
// A history entry in the screen's words: what it is about ("Relacionado 1.01.001.0002 de
// 1.01.001.0001", products named by their tree codes) and its fields ("Quantidade: N → S"), for
// the history page and the undo's preview. Tree codes are read once per product per wording.

#include <map>
#include <string>

#include "store/SqlConnection.h"
#include "store/StoredRow.h"

namespace appserver {

class ChangeWording {
  public:
    explicit ChangeWording(SqlConnection& conn) : m_conn(conn) {}
    ChangeWording(const ChangeWording&) = delete;
    ChangeWording& operator=(const ChangeWording&) = delete;

    struct Words {
        std::string subject;  // "Grupo 0000000001", "Principal 1.01.001.0001", ...
        std::string before;   // "Quantidade: N; Totalizador: S": the fields that change, or all
        std::string after;    // of an inclusion (after) or exclusion (before)
    };
    // oldRow is null for an insert, newRow for a delete.
    Words words(EntryKind kind, const StoredRow* oldRow, const StoredRow* newRow);
    // "Grupo 0000000001 incluído: Nome: Café; Ordem: 1", "Principal ...: Quantidade: N → S",
    // "Relacionado ... excluído: Quantidade: N; Totalizador: S".
    std::string sentence(EntryKind kind, const StoredRow* oldRow, const StoredRow* newRow);

  private:
    std::string subject(const StoredRow& row);
    std::string treeCode(wire::ValueView product);

    SqlConnection& m_conn;
    std::map<std::string, std::string, std::less<>> m_trees;
};

}  // namespace appserver
