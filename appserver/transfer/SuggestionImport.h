#pragma once
// The suggestions import: compares a file with what is stored and plans the changes. "incluir"
// adds groups, main and related products and updates names, orders and flags, never removing
// anything; "substituir" also makes each group of the file exactly what the file says, removing
// its main and related products the file does not name. Groups absent from the file are never
// touched.

#include <istream>
#include <optional>
#include <string_view>

#include "store/Store.h"
#include "transfer/ImportPreview.h"

namespace appserver {

enum class ImportMode { Include, Replace };

// "incluir" or "substituir"; nullopt for anything else.
std::optional<ImportMode> importModeNamed(std::string_view name);

// Reads csv to its end and plans its changes; Unavailable and the like when the store cannot be
// read. The steps apply groups first, then main products, removals, and related products, so
// each writer finds what it relies on.
wire::Result<ImportPreview> previewSuggestionImport(Store& store, std::istream& csv,
                                                    ImportMode mode);

// Applies a preview without errors in one transaction under user (Refused, applying nothing,
// when it has errors).
wire::Status applyImportPreview(Store& store, const ImportPreview& preview, std::string_view user);

}  // namespace appserver
