#pragma once

#include "TPrintCanvas.h"

#include <QRect>
#include <array>
#include <map>
#include <utility>

class QPagedPaintDevice;
class QPainter;

// The report's surface on paper or in a PDF: a painter already begun on a QPrinter or a
// QPdfWriter, whose page layout gives the printable area and the physical offsets.
class TQtPrintCanvas : public lodestar::TPrintCanvas {
public:
  TQtPrintCanvas(QPainter& painter, QPagedPaintDevice& device);

  void SetFont(const lodestar::TPrintFont& font) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void Line(int x0, int y0, int x1, int y1) override;
  void TextOut(int x, int y, const std::string& text) override;
  void TextRect(const lodestar::TPrintRect& clip, int x, int y, const std::string& text) override;
  // Every cell drawn through a clip, as a check that leaving it out changes no pixel.
  void ClipEveryCell(bool on) { FClipEveryCell = on; }
  // Raises when the device refuses the sheet.
  void NewPage() override;
  int PageNumber() const override { return FPage; }
  int PrintableWidth() const override { return FPrintable.width(); }
  int PrintableHeight() const override { return FPrintable.height(); }
  int PhysicalOffsetX() const override { return FPrintable.left() - FSheet.left(); }
  int PhysicalOffsetY() const override { return FPrintable.top() - FSheet.top(); }

private:
  bool FitsUnclipped(const lodestar::TPrintRect& clip, int x, int y, const QString& text);

  QPainter& FPainter;
  QPagedPaintDevice& FDevice;
  QRect FSheet, FPrintable;
  int FPage = 1;
  bool FClipEveryCell = false;
  // Advances of the first 256 characters, per font, filled on first use: enough to tell, without
  // shaping the text a second time, that most cells fit whole.
  std::map<std::pair<int, bool>, std::array<qreal, 256>> FAdvances;
  const std::array<qreal, 256>* FCurrentAdvances = nullptr;
};
