#pragma once
// Opens the store an administration subcommand works on; on failure says why on err, naming the
// database without its password.

#include <memory>
#include <ostream>
#include <string_view>

#include "store/Store.h"

namespace appserver {

// Null when the database cannot be opened (the reason is on err).
std::unique_ptr<Store> openAdminStore(std::string_view url, std::ostream& err);

}  // namespace appserver
