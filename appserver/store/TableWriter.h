#pragma once
// The actions across lists write through the screen's own writers, so a copy, a replacement or
// an undo passes the same checks and constraints as a save and is recorded alike: one change log
// of one table, every entry recorded in the caller's history, inside the caller's transaction.

#include <initializer_list>
#include <span>
#include <string_view>

#include "store/HistoryRecorder.h"
#include "store/StoredRow.h"
#include "wire/ChangeLog.h"
#include "wire/RemoteModule.h"

namespace appserver {

wire::Status writeTable(SqlConnection& conn, StoredTable table, const wire::ChangeLog& log,
                        HistoryRecorder& history);

// An empty log over the fields named (each of the largest size a packet allows: the writers
// check the sizes of their own rules).
wire::ChangeLog logOver(std::span<const std::string_view> fields);
wire::ChangeLog logOver(std::initializer_list<wire::Column> columns);

// The fields a main product's and a related product's writer take, in their order.
wire::ChangeLog mainProductLog();
wire::ChangeLog relatedProductLog();

}  // namespace appserver
