#pragma once
// Paints and edits the cells of a TDBGrid: the standard text painting, then the grid's
// OnDrawColumnCell and the ellipsis button of the current cell; a line editor with the field's
// mask and size. Editor keys go through the grid first (OnKeyDown, OnKeyPress, Esc, Tab, Enter).

#include <QStyledItemDelegate>

class TDBGrid;

class TDBGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TDBGridDelegate(TDBGrid& grid);

    static constexpr int kButtonWidth = 18;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The ellipsis button's rectangle inside a cell rectangle.
    static QRect ButtonRect(const QRect& cell);

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    TDBGrid& m_grid;
};
