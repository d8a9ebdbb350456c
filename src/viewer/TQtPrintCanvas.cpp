#include "TQtPrintCanvas.h"

#include "PrintLayout.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <stdexcept>

TQtPrintCanvas::TQtPrintCanvas(QPainter& painter, QPagedPaintDevice& device)
    : FPainter(painter), FDevice(device) {
  const QPageLayout layout = device.pageLayout();
  const int resolution = device.logicalDpiX();
  FSheet = layout.fullRectPixels(resolution);
  FPrintable = layout.paintRectPixels(resolution);
  // One device pixel wide, as a printer's default pen draws.
  FPainter.setPen(QPen(Qt::black, 1));
}

void TQtPrintCanvas::SetFont(const lodestar::TPrintFont& font) {
  QFont qfont(QString::fromUtf8(lodestar::PrintFontFamily));
  qfont.setPointSize(font.PointSize);
  qfont.setBold(font.Bold);
  FPainter.setFont(qfont);
}

int TQtPrintCanvas::TextWidth(const std::string& text) {
  return FPainter.fontMetrics().horizontalAdvance(QString::fromUtf8(text));
}

int TQtPrintCanvas::TextHeight(const std::string&) {
  return FPainter.fontMetrics().height();
}

void TQtPrintCanvas::Line(int x0, int y0, int x1, int y1) {
  FPainter.drawLine(x0, y0, x1, y1);
}

void TQtPrintCanvas::TextOut(int x, int y, const std::string& text) {
  // Qt places a text by its baseline.
  FPainter.drawText(x, y + FPainter.fontMetrics().ascent(), QString::fromUtf8(text));
}

void TQtPrintCanvas::TextRect(const lodestar::TPrintRect& clip, int x, int y,
                              const std::string& text) {
  FPainter.save();
  FPainter.setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top));
  TextOut(x, y, text);
  FPainter.restore();
}

void TQtPrintCanvas::NewPage() {
  if (!FDevice.newPage())
    throw std::runtime_error("The printer did not start a new sheet");
  ++FPage;
}
