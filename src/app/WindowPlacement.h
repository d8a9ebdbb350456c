#pragma once

#include <QRect>

// The outer rectangle a window takes on a screen whose free area is available: the wanted one
// where it lies wholly inside; otherwise its size is cut to the area's and it is moved in just
// far enough to lie inside.
QRect PlaceInside(const QRect& wanted, const QRect& available);

// The outer rectangle of a box shown centred on the free area: its wanted size where that fits,
// otherwise cut to the area's size.
QRect PlaceCentred(const QSize& wanted, const QRect& available);
