#pragma once

#include <QStyledItemDelegate>

// Draws ListView1's cells as usual; a cell whose text does not fit its column shows the whole
// text as a tooltip, a cell shown whole shows none.
class TCellTipDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  // Whether the cell's text is cut where the cell is drawn at option's rectangle.
  bool IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
};
