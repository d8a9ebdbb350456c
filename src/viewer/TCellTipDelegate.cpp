#include "TCellTipDelegate.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QToolTip>

bool TCellTipDelegate::IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  // The hint is the width the cell would need to show its text whole.
  return sizeHint(option, index).width() > option.rect.width();
}

bool TCellTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip)
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  if (index.isValid() && IsCut(option, index)) {
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view->viewport(),
                       option.rect);
  } else {
    QToolTip::hideText();
    event->ignore();
  }
  return true;
}
