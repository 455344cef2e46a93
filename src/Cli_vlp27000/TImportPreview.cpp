#include "Cli_vlp27000/TImportPreview.h"

#include <algorithm>

#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TField.h"

TImportPreview TImportPreview::FromDataSet(const TClientDataSet& answer) {
    TImportPreview preview;
    if (!answer.Active()) return preview;
    const int line = answer.FieldByName("NRLINHA").Index();
    const int column = answer.FieldByName("NRCOLUNA").Index();
    const int action = answer.FieldByName("TPACAO").Index();
    const int description = answer.FieldByName("TXDESCRICAO").Index();
    auto value = [&answer](int row, int field) {
        return std::string(answer.ValueAt(row, field).value_or(""));
    };
    for (int row = 0; row < answer.RecordCount(); ++row) {
        TImportPreviewRow r{value(row, line), value(row, column), value(row, action),
                            value(row, description)};
        if (r.Action == "resumo") {
            preview.m_summary = r.Description;
            continue;
        }
        preview.m_errors += r.IsError() ? 1 : 0;
        preview.m_rows.push_back(std::move(r));
    }
    // What stops the import comes first; each part keeps the file's order.
    std::stable_partition(preview.m_rows.begin(), preview.m_rows.end(),
                          [](const TImportPreviewRow& r) { return r.IsError(); });
    return preview;
}
