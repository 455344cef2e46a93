#pragma once
// The base of the screen's read-only table models: a fixed list of column titles, which gives the
// column count and the horizontal header; the derived model gives the rows and their data.

#include <QAbstractTableModel>
#include <span>

class TTitledTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // titles must outlive the model (a static array).
    TTitledTableModel(std::span<const char* const> titles, QObject* parent)
        : QAbstractTableModel(parent), m_titles(titles) {}

    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_titles.size());
    }
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override {
        if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
            section >= int(m_titles.size()))
            return {};
        return QString::fromUtf8(m_titles[std::size_t(section)]);
    }

  private:
    std::span<const char* const> m_titles;
};
