#pragma once
// The products import (columns produto;arvore;nome): new codes are inserted, the tree code and
// name of existing ones updated; no product is ever deleted. A tree code held by another product
// (in the database or on another line) is an error, so no import can trip the unique constraint
// halfway.

#include <istream>

#include "store/Store.h"
#include "transfer/ImportPreview.h"

namespace appserver {

// Reads csv to its end and compares it with the catalogue; Unavailable and the like when the
// store cannot be read. The preview's steps apply it (Store::applyImport).
wire::Result<ImportPreview> previewProductImport(Store& store, std::istream& csv);

}  // namespace appserver
