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
  auto [slot, added] = FAdvances.try_emplace({font.PointSize, font.Bold});
  if (added) {
    const QFontMetricsF metrics(qfont, &FDevice);
    for (int c = 0; c < 256; ++c)
      slot->second[static_cast<std::size_t>(c)] = metrics.horizontalAdvance(QChar(c));
  }
  FCurrentAdvances = &slot->second;
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

// A clip costs the PDF a saved state and a clip path per cell, two thirds of the time of a long
// report; a text that ends well inside its cell looks the same without one. Only Latin-1 texts are
// judged, by the sum of their advances with room to spare for kerning; any other text is clipped.
bool TQtPrintCanvas::FitsUnclipped(const lodestar::TPrintRect& clip, int x, int y,
                                   const QString& text) {
  const QFontMetrics metrics = FPainter.fontMetrics();
  if (FClipEveryCell || FCurrentAdvances == nullptr || x < clip.Left || y < clip.Top ||
      y + metrics.height() > clip.Bottom)
    return false;
  qreal width = 0;
  for (const QChar c : text) {
    if (c.unicode() > 0xFF)
      return false;
    width += (*FCurrentAdvances)[c.unicode()];
  }
  // Kerning and rounding move a text's end by far less than this.
  const qreal spare = metrics.height() / 16.0;
  return x + width + spare <= clip.Right;
}

void TQtPrintCanvas::TextRect(const lodestar::TPrintRect& clip, int x, int y,
                              const std::string& text) {
  const QString qtext = QString::fromUtf8(text);
  const int baseline = y + FPainter.fontMetrics().ascent();
  if (FitsUnclipped(clip, x, y, qtext)) {
    FPainter.drawText(x, baseline, qtext);
    return;
  }
  FPainter.setClipRect(QRect(clip.Left, clip.Top, clip.Right - clip.Left, clip.Bottom - clip.Top));
  FPainter.drawText(x, baseline, qtext);
  FPainter.setClipping(false);
}

void TQtPrintCanvas::NewPage() {
  if (!FDevice.newPage())
    throw std::runtime_error("The printer did not start a new sheet");
  ++FPage;
}
