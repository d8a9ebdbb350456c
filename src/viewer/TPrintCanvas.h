#pragma once

#include <string>

namespace lodestar {

struct TPrintFont {
  int PointSize = 10;
  bool Bold = false;

  friend bool operator==(const TPrintFont&, const TPrintFont&) = default;
};

// A rectangle in device pixels; Right and Bottom lie just outside it.
struct TPrintRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;

  friend bool operator==(const TPrintRect&, const TPrintRect&) = default;
};

// The surface the printed report is laid out on: a printer's sheet, a PDF page or a recording for
// the tests. Positions are device pixels from the top-left corner of the printable area; texts are
// UTF-8 and drawn black in the report's one family.
class TPrintCanvas {
public:
  virtual ~TPrintCanvas() = default;

  virtual void SetFont(const TPrintFont& font) = 0;
  // Width and height of a text in the current font.
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;
  virtual void Line(int x0, int y0, int x1, int y1) = 0;
  // The text with its top-left corner at (x, y).
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  // The same, showing only what falls inside clip.
  virtual void TextRect(const TPrintRect& clip, int x, int y, const std::string& text) = 0;
  virtual void NewPage() = 0;
  // 1 on the first sheet, one more after each NewPage.
  virtual int PageNumber() const = 0;
  virtual int PrintableWidth() const = 0;
  virtual int PrintableHeight() const = 0;
  // From the sheet's edge to the printable area.
  virtual int PhysicalOffsetX() const = 0;
  virtual int PhysicalOffsetY() const = 0;
};

} // namespace lodestar
