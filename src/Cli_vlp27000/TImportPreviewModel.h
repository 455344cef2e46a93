#pragma once
// The preview's rows for a table view: Linha, Coluna, Ação, Descrição; an error's row in red.
// A thin read-only adapter; the preview must outlive the model.

#include "Cli_vlp27000/TTitledTableModel.h"

#include "Cli_vlp27000/TImportPreview.h"

class TImportPreviewModel : public TTitledTableModel {
    Q_OBJECT
  public:
    explicit TImportPreviewModel(const TImportPreview& preview, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    const TImportPreview& m_preview;
};
