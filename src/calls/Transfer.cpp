#include "calls/Transfer.h"

#include <stdexcept>

#include "wire/FieldDef.h"

namespace calls {

void GetExportaSugestoes(TNetConnection& connection, const std::string& groupCode,
                         TClientDataSet& target, const TFetchOptions& options) {
    Fetch(connection, wire::method::GetExportaSugestoes, {TRemoteArg::Text(groupCode)}, target,
          options);
}

void SetImportaSugestoes(TNetConnection& connection, const std::string& csvText,
                         const std::string& mode, bool previewOnly, TClientDataSet& target,
                         const TFetchOptions& options) {
    const auto limit = static_cast<std::size_t>(wire::param::kCsvText.size);
    if (csvText.size() > limit && wire::utf8Length(csvText) > limit)
        throw std::length_error("O arquivo tem mais de " + std::to_string(limit) +
                                " caracteres, o limite da importação.");
    Fetch(connection, wire::method::SetImportaSugestoes,
          {TRemoteArg::Text(csvText), TRemoteArg::Text(mode),
           TRemoteArg::Text(previewOnly ? "S" : "N")},
          target, options);
}

}  // namespace calls
