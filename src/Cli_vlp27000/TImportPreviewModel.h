#pragma once
// The preview's rows for a table view: Linha, Coluna, Ação, Descrição; an error's row in red.
// A thin read-only adapter; the preview must outlive the model.

#include <QAbstractTableModel>

#include "Cli_vlp27000/TImportPreview.h"

class TImportPreviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit TImportPreviewModel(const TImportPreview& preview, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_preview(preview) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    const TImportPreview& m_preview;
};
