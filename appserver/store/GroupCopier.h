#pragma once
// Copies a group to a new one inside the caller's transaction: the group row checked as a new
// group is (code of ten digits, code, name and order not in use), then every main product and
// every related product with their flags, each through its writer and recorded in history.

#include "store/HistoryRecorder.h"
#include "store/Store.h"

namespace appserver {

wire::Status copyGroupRows(SqlConnection& conn, const GroupCopy& copy, HistoryRecorder& history);

}  // namespace appserver
