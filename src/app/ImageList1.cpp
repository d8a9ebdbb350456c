#include "ImageList1.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <array>
#include <functional>

namespace {

using TDraw = std::function<void(QPainter&)>;

QPixmap Paint(const TDraw& draw) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw(p);
  return pixmap;
}

QIcon KeepWhenDisabled(const QPixmap& pixmap) {
  QIcon icon;
  icon.addPixmap(pixmap, QIcon::Normal);
  icon.addPixmap(pixmap, QIcon::Disabled);
  return icon;
}

const QColor Outline(60, 60, 60);

void Page(QPainter& p, const QRectF& r, const QColor& fill = Qt::white) {
  QPainterPath path;
  const qreal fold = 3;
  path.moveTo(r.left(), r.top());
  path.lineTo(r.right() - fold, r.top());
  path.lineTo(r.right(), r.top() + fold);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(Outline, 1));
  p.setBrush(fill);
  p.drawPath(path);
}

void PageLines(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(120, 120, 160), 1));
  for (qreal y = r.top() + 4; y < r.bottom() - 1; y += 2.5)
    p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void Folder(QPainter& p) {
  p.setPen(QPen(QColor(150, 110, 20), 1));
  p.setBrush(QColor(240, 200, 80));
  p.drawRect(QRectF(1.5, 4.5, 12, 9));
  p.drawRect(QRectF(1.5, 3.5, 5, 2));
  // The open flap.
  p.setBrush(QColor(255, 225, 120));
  p.drawPolygon(QPolygonF({{3.5, 7.5}, {15.5, 7.5}, {13.5, 13.5}, {1.5, 13.5}}));
}

void Arrow(QPainter& p, bool right, const QColor& fill) {
  QPolygonF shape(
      {{2.5, 6.5}, {8.5, 6.5}, {8.5, 2.5}, {14.5, 8}, {8.5, 13.5}, {8.5, 9.5}, {2.5, 9.5}});
  if (!right)
    for (QPointF& pt : shape)
      pt.setX(16 - pt.x());
  p.setPen(QPen(fill.darker(160), 1));
  p.setBrush(fill);
  p.drawPolygon(shape);
}

void VerticalArrow(QPainter& p, bool up, const QColor& fill) {
  QPolygonF shape(
      {{6.5, 13.5}, {6.5, 7.5}, {2.5, 7.5}, {8, 1.5}, {13.5, 7.5}, {9.5, 7.5}, {9.5, 13.5}});
  if (!up)
    for (QPointF& pt : shape)
      pt.setY(15 - pt.y());
  p.setPen(QPen(fill.darker(160), 1));
  p.setBrush(fill);
  p.drawPolygon(shape);
}

void Label(QPainter& p, const QString& text, const QColor& background) {
  p.setPen(QPen(background.darker(150), 1));
  p.setBrush(background);
  p.drawRoundedRect(QRectF(0.5, 3.5, 15, 9), 2, 2);
  QFont font(QStringLiteral("DejaVu Sans Condensed"));
  font.setPixelSize(7);
  font.setBold(true);
  font.setStretch(QFont::Condensed);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, 3, 16, 10), Qt::AlignCenter, text);
}

void Printer(QPainter& p) {
  Page(p, QRectF(4.5, 1.5, 7, 5));
  p.setPen(QPen(Outline, 1));
  p.setBrush(QColor(170, 170, 175));
  p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1, 1);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 10.5, 7, 4));
  p.setPen(QColor(40, 170, 40));
  p.drawPoint(QPointF(12.5, 8.5));
}

void Globe(QPainter& p) {
  p.setPen(QPen(QColor(20, 70, 140), 1));
  p.setBrush(QColor(90, 160, 230));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QRectF(5, 1.5, 6, 13));
  p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
  p.drawLine(QPointF(3, 4.5), QPointF(13, 4.5));
  p.drawLine(QPointF(3, 11.5), QPointF(13, 11.5));
}

void Picture(QPainter& p) {
  p.setPen(QPen(Outline, 1));
  p.setBrush(QColor(150, 200, 250));
  p.drawRect(QRectF(0.5, 2.5, 15, 11));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 210, 40));
  p.drawEllipse(QRectF(10, 4, 3.5, 3.5));
  p.setBrush(QColor(60, 140, 60));
  p.drawPolygon(QPolygonF({{1, 13}, {6, 6}, {9, 10}, {11, 8.5}, {15, 13}}));
}

void Calculator(QPainter& p) {
  p.setPen(QPen(Outline, 1));
  p.setBrush(QColor(200, 200, 205));
  p.drawRoundedRect(QRectF(2.5, 0.5, 11, 15), 1.5, 1.5);
  p.setBrush(QColor(190, 230, 190));
  p.drawRect(QRectF(4.5, 2.5, 7, 3));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 70, 80));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col)
      p.drawRect(QRectF(4.5 + col * 2.5, 7.5 + row * 2.5, 1.6, 1.6));
}

void Envelope(QPainter& p) {
  p.setPen(QPen(Outline, 1));
  p.setBrush(QColor(250, 245, 225));
  p.drawRect(QRectF(0.5, 3.5, 15, 10));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({{0.5, 3.5}, {8, 9.5}, {15.5, 3.5}}));
}

void About(QPainter& p) {
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.setBrush(QColor(50, 110, 210));
  p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(7, 3, 2.2, 2.2));
  p.drawRect(QRectF(7, 6.5, 2.2, 6.5));
}

void Exit(QPainter& p) {
  // A door left open with an arrow going out.
  p.setPen(QPen(Outline, 1));
  p.setBrush(QColor(160, 100, 50));
  p.drawRect(QRectF(1.5, 1.5, 8, 13));
  p.setBrush(QColor(40, 30, 20));
  p.drawRect(QRectF(3.5, 3.5, 4, 9));
  p.setPen(QPen(QColor(200, 30, 30), 2));
  p.drawLine(QPointF(7, 8), QPointF(14, 8));
  p.drawLine(QPointF(11, 5), QPointF(14, 8));
  p.drawLine(QPointF(11, 11), QPointF(14, 8));
}

void Floppy(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.setBrush(QColor(60, 90, 170));
  p.drawRect(QRectF(1.5, 1.5, 13, 13));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void Export(QPainter& p) {
  Page(p, QRectF(1.5, 0.5, 9, 12));
  PageLines(p, QRectF(1.5, 0.5, 9, 12));
  Arrow(p, true, QColor(40, 150, 60));
}

void Split(QPainter& p) {
  Page(p, QRectF(0.5, 0.5, 7, 9));
  Page(p, QRectF(8.5, 6.5, 7, 9));
  p.setPen(QPen(QColor(200, 40, 40), 1.5));
  p.drawLine(QPointF(5, 13), QPointF(11, 3));
}

void Combine(QPainter& p) {
  Page(p, QRectF(5.5, 0.5, 9, 11));
  Page(p, QRectF(3.5, 2.5, 9, 11));
  Page(p, QRectF(1.5, 4.5, 9, 11));
  PageLines(p, QRectF(1.5, 4.5, 9, 11));
}

void Document(QPainter& p) {
  Page(p, QRectF(2.5, 0.5, 11, 15));
  PageLines(p, QRectF(2.5, 0.5, 11, 15));
}

void Magnifier(QPainter& p) {
  p.setPen(QPen(Outline, 1.5));
  p.setBrush(QColor(210, 235, 255));
  p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
  p.setPen(QPen(QColor(110, 70, 30), 2.5));
  p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
}

void Sort(QPainter& p) {
  VerticalArrow(p, false, QColor(60, 120, 200));
}

} // namespace

QList<QIcon> MakeImageList1() {
  const QColor blue(40, 110, 210);
  const QColor grey(175, 175, 175);
  // Pictures that stand on no control get a plain page or a neighbour's picture.
  const std::array<TDraw, ImageList1Count> draw = {
      Folder,                                      // 0 open a file
      Floppy,                                      // 1 save as
      Document,                                    // 2
      Document,                                    // 3
      Envelope,                                    // 4 email support
      Printer,                                     // 5 print
      Magnifier,                                   // 6
      Document,                                    // 7
      Globe,                                       // 8 web page
      Export,                                      // 9 export page, batch split
      Picture,                                     // 10 external viewer
      [&](QPainter& p) { Arrow(p, false, blue); }, // 11 previous page
      [&](QPainter& p) { Arrow(p, true, blue); },  // 12 next page
      [&](QPainter& p) { Arrow(p, false, grey); }, // 13 previous page, disabled
      [&](QPainter& p) { Arrow(p, true, grey); },  // 14 next page, disabled
      Document,                                    // 15
      Document,                                    // 16
      Document,                                    // 17
      Calculator,                                  // 18 calculator
      [](QPainter& p) { Label(p, QStringLiteral("HEX"), QColor(170, 60, 40)); }, // 19
      [](QPainter& p) { Label(p, QStringLiteral("DEC"), QColor(40, 110, 60)); }, // 20
      Document,                                                                  // 21
      Document,                                                                  // 22
      Document,                                                                  // 23
      Folder,                                                                    // 24 menu: open
      About,                                                                     // 25 about
      Exit,                                                                      // 26 exit
      Split,    // 27 split multipage file
      Combine,  // 28 combine to multipage
      Document, // 29
      Document, // 30
      Document, // 31
      Document, // 32
  };
  QList<QIcon> icons;
  icons.reserve(ImageList1Count);
  for (const TDraw& d : draw)
    icons.append(KeepWhenDisabled(Paint(d)));
  return icons;
}

QIcon BatchGlyph(TBatchGlyph glyph) {
  const QColor blue(40, 110, 210);
  switch (glyph) {
  case TBatchGlyph::Folder:
    return QIcon(Paint(Folder));
  case TBatchGlyph::MoveUp:
    return QIcon(Paint([&](QPainter& p) { VerticalArrow(p, true, blue); }));
  case TBatchGlyph::MoveDown:
    return QIcon(Paint([&](QPainter& p) { VerticalArrow(p, false, blue); }));
  case TBatchGlyph::Sort:
    return QIcon(Paint(Sort));
  case TBatchGlyph::Save:
    return QIcon(Paint(Floppy));
  }
  return {};
}
