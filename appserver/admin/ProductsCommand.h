#pragma once
// "vlp-appserver products import|export ...": the product catalogue in and out as CSV.

#include <span>
#include <string_view>

#include "admin/AdminContext.h"

namespace appserver {

// args: the words after "products".
int runProductsCommand(std::span<const std::string_view> args, AdminContext& context);

}  // namespace appserver
