#include "Cli_vlp27000/THistoryModel.h"

#include <QBrush>
#include <QPalette>
#include <array>

#include "controls/SafeCall.h"
#include "dataaccess/TClientDataSet.h"
#include "dataaccess/TField.h"

namespace {

const std::array<const char*, 5> kTitles{"Gravação", "Quando", "Quem", "Origem", "Alteração"};
enum { kSave, kWhen, kUser, kOrigin, kChange };

// The reading flag is down again on every way out.
class TReading {
  public:
    explicit TReading(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TReading() { m_flag = false; }
    TReading(const TReading&) = delete;
    TReading& operator=(const TReading&) = delete;

  private:
    bool& m_flag;
};

}  // namespace

std::vector<THistoryRow> HistoryRows(const TClientDataSet& answer) {
    std::vector<THistoryRow> rows;
    if (!answer.Active()) return rows;
    std::array<int, 6> at{};
    const char* names[] = {"NRHISTORICO", "NRGRAVACAO", "DTGRAVACAO",
                           "NMUSUARIO",   "NMORIGEM",   "TXALTERACAO"};
    for (std::size_t i = 0; i < at.size(); ++i) at[i] = answer.FieldByName(names[i]).Index();
    rows.reserve(std::size_t(answer.RecordCount()));
    for (int row = 0; row < answer.RecordCount(); ++row) {
        auto value = [&](std::size_t i) {
            return std::string(answer.ValueAt(row, at[i]).value_or(""));
        };
        rows.push_back({value(0), value(1), value(2), value(3), value(4), value(5)});
    }
    return rows;
}

THistoryModel::THistoryModel(TReadPage readPage, int pageRows, QObject* parent)
    : TTitledTableModel(kTitles, parent), m_readPage(std::move(readPage)), m_pageRows(pageRows) {}

void THistoryModel::Reload() {
    TReading reading(m_reading);
    std::vector<THistoryRow> page = m_readPage("");
    beginResetModel();
    m_rows.clear();
    m_oddBand.clear();
    m_more = true;
    endResetModel();
    Append(std::move(page));
}

void THistoryModel::Append(std::vector<THistoryRow> page) {
    m_more = int(page.size()) >= m_pageRows;
    if (!page.empty()) {
        const int first = rowCount();
        beginInsertRows({}, first, first + int(page.size()) - 1);
        for (THistoryRow& row : page) {
            const bool sameSave = !m_rows.empty() && m_rows.back().Save == row.Save;
            const bool odd =
                m_oddBand.empty() ? false : (sameSave ? m_oddBand.back() : !m_oddBand.back());
            m_rows.push_back(std::move(row));
            m_oddBand.push_back(odd);
        }
        endInsertRows();
    }
    emit PageRead();
}

bool THistoryModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && m_more && !m_reading;
}

void THistoryModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) return;
    const std::string before = m_rows.empty() ? "" : m_rows.back().Id;
    // Until the page is in, the rows' end is not the end of the history: a view asking again
    // meanwhile (as rows are inserted) must not read the same page twice.
    TReading reading(m_reading);
    std::vector<THistoryRow> page;
    if (!SafeCall([&] { page = m_readPage(before); })) {
        m_more = false;  // no loop of failing reads; Reload starts again
        emit PageRead();
        return;
    }
    Append(std::move(page));
}

std::pair<int, int> THistoryModel::SaveRows(int row) const {
    int first = row, last = row;
    while (first > 0 && m_rows[std::size_t(first - 1)].Save == m_rows[std::size_t(row)].Save)
        --first;
    while (last + 1 < rowCount() &&
           m_rows[std::size_t(last + 1)].Save == m_rows[std::size_t(row)].Save)
        ++last;
    return {first, last};
}

bool THistoryModel::FirstOfSave(int row) const {
    return row == 0 || m_rows[std::size_t(row - 1)].Save != m_rows[std::size_t(row)].Save;
}

int THistoryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant THistoryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const THistoryRow& row = m_rows[std::size_t(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: {
            if (index.column() != kChange && !FirstOfSave(index.row())) return {};
            const std::string* cells[] = {&row.Save, &row.When, &row.User, &row.Origin,
                                          &row.Change};
            return QString::fromStdString(*cells[index.column()]).trimmed();
        }
        case Qt::BackgroundRole:
            return m_oddBand[std::size_t(index.row())]
                       ? QVariant(QPalette().brush(QPalette::AlternateBase))
                       : QVariant();
        default:
            return {};
    }
}
