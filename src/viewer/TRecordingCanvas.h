#pragma once

#include "TPrintCanvas.h"

#include <string>
#include <vector>

namespace lodestar {

// A sheet that writes down what is drawn on it, one line per call, so a layout can be checked to
// the pixel without a printer. A text measures CharWidth per byte and per point over 10 points
// (bold one pixel more), and LineHeight per 10 points high.
class TRecordingCanvas : public TPrintCanvas {
public:
  // The sheet's full size and the offsets of its printable area on every side.
  TRecordingCanvas(int sheetWidth, int sheetHeight, int offset, int lineHeight = 96,
                   int charWidth = 50);

  // "font 10 bold", "line 354,622 354,6286", "text 236,448 'Lodestar'",
  // "clip 378,597 490,693 at 378,597 'Nr'", "page"
  std::vector<std::string> Calls;

  // The calls after the n-th NewPage (0: the first sheet), without the page break itself.
  std::vector<std::string> Sheet(int n) const;
  int SheetCount() const;

  void SetFont(const TPrintFont& font) override;
  int TextWidth(const std::string& text) override;
  int TextHeight(const std::string& text) override;
  void Line(int x0, int y0, int x1, int y1) override;
  void TextOut(int x, int y, const std::string& text) override;
  void TextRect(const TPrintRect& clip, int x, int y, const std::string& text) override;
  void NewPage() override;
  int PageNumber() const override { return FPage; }
  int PrintableWidth() const override { return FWidth - 2 * FOffset; }
  int PrintableHeight() const override { return FHeight - 2 * FOffset; }
  int PhysicalOffsetX() const override { return FOffset; }
  int PhysicalOffsetY() const override { return FOffset; }

private:
  int FWidth, FHeight, FOffset, FLineHeight, FCharWidth;
  TPrintFont FFont;
  int FPage = 1;
};

} // namespace lodestar
