#include "TRecordingCanvas.h"

namespace lodestar {

namespace {

std::string Point(int x, int y) {
  return std::to_string(x) + "," + std::to_string(y);
}

} // namespace

TRecordingCanvas::TRecordingCanvas(int sheetWidth, int sheetHeight, int offset, int lineHeight,
                                   int charWidth)
    : FWidth(sheetWidth), FHeight(sheetHeight), FOffset(offset), FLineHeight(lineHeight),
      FCharWidth(charWidth) {}

std::vector<std::string> TRecordingCanvas::Sheet(int n) const {
  std::vector<std::string> sheet;
  int page = 0;
  for (const std::string& call : Calls) {
    if (call == "page")
      ++page;
    else if (page == n)
      sheet.push_back(call);
  }
  return sheet;
}

int TRecordingCanvas::SheetCount() const {
  return FPage;
}

void TRecordingCanvas::SetFont(const TPrintFont& font) {
  FFont = font;
  Calls.push_back("font " + std::to_string(font.PointSize) + (font.Bold ? " bold" : " regular"));
}

int TRecordingCanvas::TextWidth(const std::string& text) {
  const int perChar = FCharWidth * FFont.PointSize / 10 + (FFont.Bold ? 1 : 0);
  return static_cast<int>(text.size()) * perChar;
}

int TRecordingCanvas::TextHeight(const std::string&) {
  return FLineHeight * FFont.PointSize / 10;
}

void TRecordingCanvas::Line(int x0, int y0, int x1, int y1) {
  Calls.push_back("line " + Point(x0, y0) + " " + Point(x1, y1));
}

void TRecordingCanvas::TextOut(int x, int y, const std::string& text) {
  Calls.push_back("text " + Point(x, y) + " '" + text + "'");
}

void TRecordingCanvas::TextRect(const TPrintRect& clip, int x, int y, const std::string& text) {
  Calls.push_back("clip " + Point(clip.Left, clip.Top) + " " + Point(clip.Right, clip.Bottom) +
                  " at " + Point(x, y) + " '" + text + "'");
}

void TRecordingCanvas::NewPage() {
  ++FPage;
  Calls.push_back("page");
}

} // namespace lodestar
