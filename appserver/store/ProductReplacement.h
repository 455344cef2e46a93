#pragma once
// Replaces a product by another in every list it is in, or removes it from all (an empty
// replacement), inside the caller's transaction. The plan numbers the places as GetOndeUsado
// lists them; a place is refused when the replacement is already in that list or would be related
// to itself. Applying moves a main product's list, flags and related products to the
// replacement, and puts the replacement in each related row with the same flags, every entry
// through its writer.

#include <string>
#include <vector>

#include "store/ActionPlan.h"
#include "store/HistoryRecorder.h"
#include "store/WhereUsed.h"

namespace appserver {

class ProductReplacement {
  public:
    ProductReplacement(SqlConnection& conn, std::string_view from, std::string_view to)
        : m_conn(conn), m_from(from), m_to(to) {}
    ProductReplacement(const ProductReplacement&) = delete;
    ProductReplacement& operator=(const ProductReplacement&) = delete;

    // Refused outright when either product is unknown or both are the same.
    wire::Result<ActionPlan> plan();
    // Applies the plan last made, which must hold no refusal.
    wire::Status apply(HistoryRecorder& history);

  private:
    struct List {
        Place place;
        std::vector<std::vector<wire::Value>> related;  // of a main place: product, flags
    };

    wire::Status readLists();
    wire::Result<bool> found(const Query& query, std::initializer_list<wire::ValueView> params);
    wire::Status check(const List& list, std::size_t line, ActionPlan& plan);

    SqlConnection& m_conn;
    std::string m_from, m_to, m_fromTree, m_toTree;
    std::vector<List> m_lists;
};

}  // namespace appserver
