#pragma once
// Paints the search list's cells with the words of the search highlighted (bold on a light
// background), so the user sees why a row is listed. Positions are found on the text folded
// character by character, so they fall on the original text; a word of digits is highlighted
// across the dots of a code. Cells without a match paint as usual.

#include <QStyledItemDelegate>
#include <QTextLayout>
#include <utility>
#include <vector>

class TSearchQuery;

class TSearchHighlight : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TSearchHighlight(QObject* parent = nullptr);

    void SetQuery(const TSearchQuery& query);
    // Runs of text to highlight, as (start, length), in order and not overlapping.
    std::vector<std::pair<int, int>> Spans(const QString& text) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    struct Word {
        QString text;
        bool digits;
    };
    QList<QTextLayout::FormatRange> Formats(const QString& text, bool selected) const;

    std::vector<Word> m_words;
};
