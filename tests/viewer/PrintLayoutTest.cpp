#include "PrintLayout.h"

#include "TRecordingCanvas.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lodestar {
namespace {

using TCalls = std::vector<std::string>;

// The sheet of the worked example: 4961 x 7016 with offsets of 100, a 10-point line 96 high.
TRecordingCanvas ExampleSheet() {
  return TRecordingCanvas(4961, 7016, 100, 96, 20);
}

TPrintJob Job(std::size_t rows, std::string fileName = "/a.tif") {
  TPrintJob job = DesignPrintJob({}, "6.12.26");
  job.FileName = std::move(fileName);
  for (std::size_t i = 0; i < rows; ++i)
    job.Rows.push_back({std::to_string(i + 1), {"8", "256"}});
  return job;
}

TCalls Select(const TCalls& calls, const std::string& prefix) {
  TCalls selected;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0)
      selected.push_back(call);
  return selected;
}

// "clip L,T R,B at X,Y 'text'": whether the text starts at the cell's left, and the text.
std::pair<bool, std::string> Cell(const std::string& clip) {
  const std::size_t at = clip.find(" at ");
  const std::string left = clip.substr(5, clip.find(',') - 5);
  const std::string x = clip.substr(at + 4, clip.find(',', at) - at - 4);
  const std::size_t quote = clip.find('\'');
  return {left == x, clip.substr(quote + 1, clip.size() - quote - 2)};
}

TEST(PrintLayout, WorkedExampleMeasures) {
  TRecordingCanvas canvas = ExampleSheet();
  canvas.SetFont({10, false});
  const TPrintGeometry g = MeasureSheet(canvas, Job(0));
  EXPECT_EQ(g.ColX, (std::vector<int>{354, 514, 834, 1154, 1954, 3287, 3820, 4087, 4407}));
  EXPECT_EQ(g.TableTop, 622);
  EXPECT_EQ(g.LinesPerPage, 58);
  // Dragged twice as wide on screen, "Value" widens on paper at the others' expense.
  TPrintJob wide = Job(0);
  wide.ColumnWidths[4] = 500;
  EXPECT_EQ(MeasureSheet(canvas, wide).ColX,
            (std::vector<int>{354, 474, 715, 956, 1558, 3564, 3965, 4166, 4407}));
}

// Each sheet carries its header line with the file and "Page k / N", and its share of the rows.
TEST(PrintLayout, RowsFillSheetsOfFiftyEightAndEverySheetHasItsFurniture) {
  const struct {
    std::size_t Rows;
    std::vector<std::size_t> RowsPerSheet;
  } cases[] = {{0, {0}}, {3, {3}}, {116, {58, 58}}, {117, {58, 58, 1}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Rows);
    TRecordingCanvas canvas = ExampleSheet();
    DrawReport(canvas, Job(c.Rows));
    const int sheets = static_cast<int>(c.RowsPerSheet.size());
    ASSERT_EQ(canvas.SheetCount(), sheets);
    if (c.Rows == 0) {
      EXPECT_EQ(canvas.Calls, TCalls{"font 10 regular"}); // a blank sheet
      continue;
    }
    for (int s = 0; s < sheets; ++s) {
      const TCalls sheet = canvas.Sheet(s);
      EXPECT_EQ(Select(sheet, "clip").size(), 8 * (c.RowsPerSheet[s] + 1)); // headings too
      const std::string header = Select(sheet, "text")[0];
      EXPECT_NE(header.find("File: /a.tif "), std::string::npos) << header;
      EXPECT_TRUE(
          header.ends_with("Page: " + std::to_string(s + 1) + " / " + std::to_string(sheets) + "'"))
          << header;
    }
  }
  // Printable height 100 holds no line: one row per sheet, each with its furniture.
  TRecordingCanvas shortSheet(2100, 300, 100, 96, 20);
  DrawReport(shortSheet, Job(3));
  ASSERT_EQ(shortSheet.SheetCount(), 3);
  for (int s = 0; s < 3; ++s) {
    EXPECT_EQ(Select(shortSheet.Sheet(s), "text").size(), 3u); // header line, title, notice
    EXPECT_EQ(Select(shortSheet.Sheet(s), "clip").size(), 16u);
  }
}

// Right-aligned in the list, left-aligned on paper; an Ascii value up to its NUL; missing cells
// empty, not dropped; too long for its cell: clipped on one line, not wrapped.
TEST(PrintLayout, CellsPrintLeftAlignedClippedAsListedAndEmptyWhenMissing) {
  TPrintJob job = Job(0);
  const std::string longValue(300, 'x');
  job.Rows = {{"", {"", "Filename", "/a.tif"}},
              {"1", {"8", "256", "ImageWidth", "Scan" + std::string(1, '\0'), "Ascii", "5", "0"}},
              {"2", {"20", "305", "Software", longValue}}};
  TRecordingCanvas canvas = ExampleSheet();
  DrawReport(canvas, job);
  const TCalls clips = Select(canvas.Sheet(0), "clip");
  ASSERT_EQ(clips.size(), 8u * 4);
  std::vector<std::string> texts;
  for (std::size_t i = 8; i < clips.size(); ++i) {
    const auto [left, text] = Cell(clips[i]);
    EXPECT_TRUE(left) << clips[i];
    texts.push_back(text);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "",  "",   "Filename", "/a.tif",     "",        "",      "",  "",
                       "1", "8",  "256",      "ImageWidth", "Scan",    "Ascii", "5", "0",
                       "2", "20", "305",      "Software",   longValue, "",      "",  ""}));
}

} // namespace
} // namespace lodestar
