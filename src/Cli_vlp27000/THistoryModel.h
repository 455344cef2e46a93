#pragma once
// A group's history for a table view, newest first, read a page at a time as the view scrolls to
// its end (canFetchMore/fetchMore), never all at once. Columns Gravação, Quando, Quem, Origem,
// Alteração; the rows of one save (gravação) stand together, the save's own columns on its first
// row only, each save on the background of its band. A page shorter than a full one is the last.
// A page that fails to read is reported and stops the reading until Reload. UI thread only.

#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "Cli_vlp27000/TTitledTableModel.h"

class TClientDataSet;

struct THistoryRow {
    std::string Id, Save, When, User, Origin, Change;  // NRHISTORICO, NRGRAVACAO, ...
};

// From the answer's record set (fields of wire::fields::kHistory).
std::vector<THistoryRow> HistoryRows(const TClientDataSet& answer);

class THistoryModel : public TTitledTableModel {
    Q_OBJECT
  public:
    // Reads the page after the row of that NRHISTORICO ("" the first); may throw.
    using TReadPage = std::function<std::vector<THistoryRow>(const std::string& before)>;
    THistoryModel(TReadPage readPage, int pageRows, QObject* parent = nullptr);

    // Reads the first page again, replacing every row; an error travels on, the rows kept.
    void Reload();
    bool AtEnd() const { return !m_more; }
    const THistoryRow& Row(int row) const { return m_rows[std::size_t(row)]; }
    // First and last row of the save that row belongs to, among the rows read.
    std::pair<int, int> SaveRows(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

  signals:
    void PageRead();  // rows were added or replaced, or the reading stopped

  private:
    bool FirstOfSave(int row) const;
    void Append(std::vector<THistoryRow> page);

    TReadPage m_readPage;
    int m_pageRows;
    std::vector<THistoryRow> m_rows;
    std::vector<bool> m_oddBand;  // per row: its save's band
    bool m_more = false;
    bool m_reading = false;
};
