#include "framework/TSearchHighlight.h"

#include <QApplication>
#include <QPainter>

#include "framework/TSearchFold.h"
#include "framework/TSearchQuery.h"

TSearchHighlight::TSearchHighlight(QObject* parent) : QStyledItemDelegate(parent) {}

void TSearchHighlight::SetQuery(const TSearchQuery& query) {
    m_words.clear();
    for (const auto& word : query.Words())
        m_words.push_back({QString::fromStdString(word.text), word.digits});
}

std::vector<std::pair<int, int>> TSearchHighlight::Spans(const QString& text) const {
    std::vector<std::pair<int, int>> spans;
    if (m_words.empty()) return spans;
    const auto n = static_cast<int>(text.size());
    QString folded(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        folded[i] = QChar(static_cast<char16_t>(SearchFold::FoldChar(text[i].unicode())));
    std::vector<bool> marked(static_cast<size_t>(n));
    auto mark = [&](int from, int to) {
        std::fill(marked.begin() + from, marked.begin() + to, true);
    };
    for (const Word& word : m_words) {
        const auto length = static_cast<int>(word.text.size());
        for (int at = 0; at < n; ++at) {
            if (!word.digits) {
                at = static_cast<int>(folded.indexOf(word.text, at));
                if (at < 0) break;
                mark(at, at + length);
                continue;
            }
            if (folded[at] != word.text[0]) continue;
            int end = at, matched = 0;
            for (; end < n && matched < length; ++end) {
                if (folded[end] == word.text[matched])
                    ++matched;
                else if (folded[end] != u'.')
                    break;
            }
            if (matched == length) mark(at, end);
        }
    }
    for (int at = 0; at < n; ++at) {
        if (!marked[static_cast<size_t>(at)]) continue;
        int end = at;
        while (end < n && marked[static_cast<size_t>(end)]) ++end;
        spans.emplace_back(at, end - at);
        at = end;
    }
    return spans;
}

QList<QTextLayout::FormatRange> TSearchHighlight::Formats(const QString& text,
                                                          bool selected) const {
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    if (!selected) {  // the selection's own colours already stand out
        format.setBackground(QColor(255, 226, 143));
        format.setForeground(Qt::black);
    }
    QList<QTextLayout::FormatRange> formats;
    for (auto [start, length] : Spans(text)) formats.append({start, length, format});
    return formats;
}

void TSearchHighlight::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const bool selected = opt.state & QStyle::State_Selected;
    QList<QTextLayout::FormatRange> formats = Formats(opt.text, selected);
    if (formats.isEmpty()) return QStyledItemDelegate::paint(painter, option, index);

    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    rect.adjust(margin, 0, -margin, 0);
    QString text = opt.text;
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);  // background, selection

    QTextLayout layout(text, opt.font);
    auto lay = [&] {
        layout.setFormats(formats);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(1e6);
        layout.endLayout();
        return line;
    };
    QTextLine line = lay();
    if (line.naturalTextWidth() > rect.width()) {  // elide as the plain cells do
        const QString ellipsis = QStringLiteral("…");
        int keep =
            line.xToCursor(rect.width() - QFontMetrics(opt.font).horizontalAdvance(ellipsis));
        layout.setText(text.left(keep) + ellipsis);
        line = lay();
    }
    QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                 : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                      : QPalette::Inactive;
    painter->save();
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setClipRect(rect);
    layout.draw(painter, QPointF(rect.left(), rect.top() + (rect.height() - line.height()) / 2));
    painter->restore();
}
