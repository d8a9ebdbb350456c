#include "WindowPlacement.h"

#include <algorithm>

QRect PlaceInside(const QRect& wanted, const QRect& available) {
  if (available.isEmpty() || available.contains(wanted))
    return wanted;
  const QSize size = wanted.size().boundedTo(available.size());
  const int left = std::clamp(wanted.left(), available.left(),
                              available.left() + available.width() - size.width());
  const int top = std::clamp(wanted.top(), available.top(),
                             available.top() + available.height() - size.height());
  return {QPoint(left, top), size};
}

QRect PlaceCentred(const QSize& wanted, const QRect& available) {
  if (available.isEmpty())
    return {QPoint(0, 0), wanted};
  QRect centred(QPoint(0, 0), wanted);
  centred.moveCenter(available.center());
  return PlaceInside(centred, available);
}
