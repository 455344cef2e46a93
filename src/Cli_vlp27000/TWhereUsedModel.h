#pragma once
// The lists a product is in, for a table view: Grupo, Nome do grupo, Produto principal, Nome,
// Uso ("principal" or "relacionado"). A thin read-only adapter over rows it holds.

#include <vector>
#include "Cli_vlp27000/TTitledTableModel.h"

#include "Cli_vlp27000/TWhereUsed.h"

class TWhereUsedModel : public TTitledTableModel {
    Q_OBJECT
  public:
    explicit TWhereUsedModel(QObject* parent = nullptr);

    void SetRows(std::vector<TWhereUsedRow> rows);
    const std::vector<TWhereUsedRow>& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  private:
    std::vector<TWhereUsedRow> m_rows;
};
