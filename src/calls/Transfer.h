#pragma once
// The suggestions' export and import as CSV, one typed function per method of the description
// (wire::method), each following the read convention of Fetch: the answer is loaded into target,
// positioned and animated as options say. Neither touches a file: the caller reads and writes it.
// UI thread only.

#include <string>

#include "calls/Fetch.h"

namespace calls {

// Loads the CSV file of one group (groupCode "" for all) into target (wire::fields::kCsvLines):
// one row per record, header first, each without its line end. The file is the rows each
// followed by CRLF.
void GetExportaSugestoes(TNetConnection& connection, const std::string& groupCode,
                         TClientDataSet& target, const TFetchOptions& options = {});

// Sends the whole CSV file with mode "incluir" or "substituir" and loads the preview into target
// (wire::fields::kImportPreview): one row per change or error in the file's order, then a row
// "resumo" with the counts. previewOnly false also applies the import, whole, when the preview
// holds no error; with an error nothing is applied and its rows say why. A text of more
// characters than the method takes (wire::param::kCsvText) is refused with std::length_error,
// its message for the user, before anything is shown or sent.
void SetImportaSugestoes(TNetConnection& connection, const std::string& csvText,
                         const std::string& mode, bool previewOnly, TClientDataSet& target,
                         const TFetchOptions& options = {});

}  // namespace calls
