#pragma once
// Turns a database failure into the Status a user reads: constraint violations become refusals
// in the screen's own wording (found by constraint name on PostgreSQL, by table and columns on
// SQLite, which names no UNIQUE constraint), other failures Unavailable or Internal.

#include <string_view>

#include "store/SqlConnection.h"
#include "wire/Status.h"

namespace appserver {

class ConstraintMessages {
  public:
    // A foreign-key failure names no constraint on SQLite, so the statement that failed says what
    // it means ("Produto não cadastrado." for an insert, "the group has products" for a delete).
    static wire::Status describe(const SqlError& err, std::string_view foreignKeyMessage = {});
    // True for the Status of a deadlock or serialisation failure: the whole write may be retried.
    static bool mayRetry(const wire::Status& status);
};

inline constexpr const char* kConflictMessage =
    "O registro foi alterado por outro usuário. Atualize a lista e tente novamente.";

}  // namespace appserver
