#include "PrintLayout.h"

#include "TRecordingCanvas.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lodestar {
namespace {

using TCalls = std::vector<std::string>;

// The sheet of the worked example: 4961 x 7016 with offsets of 100, a 10-point line 96 high.
TRecordingCanvas ExampleSheet(int charWidth = 20) {
  return TRecordingCanvas(4961, 7016, 100, 96, charWidth);
}

TPrintJob Job(std::size_t rows, std::string fileName = "/a.tif") {
  TPrintJob job = DesignPrintJob({}, "6.12.26");
  job.FileName = std::move(fileName);
  for (std::size_t i = 0; i < rows; ++i)
    job.Rows.push_back({std::to_string(i + 1), {"8", "256"}});
  return job;
}

std::vector<std::string> Select(const TCalls& calls, const std::string& prefix) {
  std::vector<std::string> selected;
  for (const std::string& call : calls)
    if (call.rfind(prefix, 0) == 0)
      selected.push_back(call);
  return selected;
}

TEST(PrintLayout, WorkedExampleToThePixel) {
  TRecordingCanvas canvas = ExampleSheet();
  canvas.SetFont({10, false});
  const TPrintGeometry g = MeasureSheet(canvas, Job(0));
  EXPECT_NEAR(g.Xu, 236.238, 0.001);
  EXPECT_NEAR(g.Yu, 248.662, 0.001);
  EXPECT_EQ(g.ColX, (std::vector<int>{354, 514, 834, 1154, 1954, 3287, 3820, 4087, 4407}));
  EXPECT_EQ(g.TableTop, 622);
  EXPECT_EQ(g.LineH, 96);
  EXPECT_EQ(g.LinesPerPage, 58);

  // A full first sheet of two: its furniture in the drawing order, then its first row.
  DrawReport(canvas, Job(59));
  const TCalls sheet = canvas.Sheet(0);
  // 8-point regular: 16 a byte; the header line is 44 bytes, 704 wide, so it starts at
  // 4761 - 354 - 704. It starts right of the 18-point title's end (half of 666 + 4761) plus 0.75
  // xu, so the title stands at the left.
  const TCalls furniture = {
      "font 10 regular",
      "font 10 regular",
      "line 514,622 514,6286",
      "line 834,622 834,6286",
      "line 1154,622 1154,6286",
      "line 1954,622 1954,6286",
      "line 3287,622 3287,6286",
      "line 3820,622 3820,6286",
      "line 4087,622 4087,6286",
      "font 10 bold",
      "clip 378,597 490,693 at 413,597 'Nr'",
      "clip 538,597 810,693 at 601,597 'Tag Pos'",
      "clip 858,597 1130,693 at 931,597 'Tag nr'",
      "clip 1178,597 1930,693 at 1481,597 'Taginfo'",
      "clip 1978,597 3263,693 at 2568,597 'Value'",
      "clip 3311,597 3796,693 at 3511,597 'Type'",
      "clip 3844,597 4063,693 at 3890,597 'Length'",
      "clip 4111,597 4383,693 at 4153,597 'Value Pos'",
      "line 330,706 4431,706",
      "font 8 regular",
      "font 8 bold",
      "text 3703,124 'File: /a.tif      Date: 6.12.26  Page: 1 / 2'",
      "font 18 bold",
      "text 236,249 'Tiff Header Report'",
      "font 10 bold",
      std::string("text 236,448 '") + PrintMakersNotice + "'",
      "font 10 regular",
      "clip 378,718 490,814 at 378,718 '1'",
  };
  ASSERT_GE(sheet.size(), furniture.size());
  EXPECT_EQ(TCalls(sheet.begin(), sheet.begin() + static_cast<long>(furniture.size())), furniture);
}

TEST(PrintLayout, SheetsFollowTheRowCountAndTheLastGridEndsOneLineBelowItsLastRow) {
  struct {
    std::size_t Rows;
    int Sheets;
    std::size_t RowsOnLast;
    int LastGridBottom; // 0: nothing drawn at all
  } cases[] = {
      {0, 1, 0, 0},
      {3, 1, 3, 622 + 5 * 96},
      {116, 2, 58, 622 + 60 * 96},
      {117, 3, 1, 622 + 3 * 96},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Rows);
    TRecordingCanvas canvas = ExampleSheet();
    DrawReport(canvas, Job(c.Rows));
    EXPECT_EQ(canvas.SheetCount(), c.Sheets);
    const TCalls last = canvas.Sheet(c.Sheets - 1);
    if (c.LastGridBottom == 0) {
      EXPECT_EQ(canvas.Calls, TCalls{"font 10 regular"}); // a blank sheet
      continue;
    }
    EXPECT_EQ(Select(last, "line 514,")[0], "line 514,622 514," + std::to_string(c.LastGridBottom));
    EXPECT_EQ(Select(last, "clip 378,").size(), c.RowsOnLast + 1); // the heading too
    const std::string pages = std::to_string(c.Sheets) + " / " + std::to_string(c.Sheets) + "'";
    EXPECT_TRUE(Select(last, "text 3")[0].ends_with(pages)) << Select(last, "text 3")[0];
    for (int s = 0; s + 1 < c.Sheets; ++s)
      EXPECT_EQ(Select(canvas.Sheet(s), "line 514,")[0], "line 514,622 514,6286");
  }
}

TEST(PrintLayout, CellsPrintLeftAlignedClippedAsListedAndEmptyWhenMissing) {
  TPrintJob job = Job(0);
  const std::string longValue(300, 'x');
  job.Rows = {{"", {"", "Filename", "/a.tif"}},
              {"1", {"8", "256", "ImageWidth", "Scan" + std::string(1, '\0'), "Ascii", "5", "0"}},
              {"2", {"20", "305", "Software", longValue}}};
  TRecordingCanvas canvas = ExampleSheet();
  DrawReport(canvas, job);
  const TCalls rows = Select(canvas.Sheet(0), "clip");
  ASSERT_EQ(rows.size(), 8u * 4);
  // The header block's row: missing cells are empty, not dropped.
  EXPECT_EQ(rows[8 + 0], "clip 378,718 490,814 at 378,718 ''");
  EXPECT_EQ(rows[8 + 3], "clip 1178,718 1930,814 at 1178,718 '/a.tif'");
  EXPECT_EQ(rows[8 + 7], "clip 4111,718 4383,814 at 4111,718 ''");
  // Right-aligned in the list, left-aligned on paper; an Ascii value up to its NUL.
  EXPECT_EQ(rows[16 + 1], "clip 538,814 810,910 at 538,814 '8'");
  EXPECT_EQ(rows[16 + 4], "clip 1978,814 3263,910 at 1978,814 'Scan'");
  EXPECT_EQ(rows[16 + 6], "clip 3844,814 4063,910 at 3844,814 '5'");
  // Too long for its cell: one clipped line, not wrapped onto the next.
  EXPECT_EQ(rows[24 + 4], "clip 1978,910 3263,1006 at 1978,910 '" + longValue + "'");
  EXPECT_EQ(rows[24 + 5], "clip 3311,910 3796,1006 at 3311,910 ''");
}

TEST(PrintLayout, AWidenedColumnWidensOnPaperAtTheOthersExpense) {
  TRecordingCanvas canvas = ExampleSheet();
  canvas.SetFont({10, false});
  TPrintJob job = Job(0);
  job.ColumnWidths[4] = 500; // "Value" dragged twice as wide
  const std::vector<int> x = MeasureSheet(canvas, job).ColX;
  EXPECT_EQ(x, (std::vector<int>{354, 474, 715, 956, 1558, 3564, 3965, 4166, 4407}));
}

// The worked example's title stands at the left; a header line of 105 bytes, 1680 wide, starts
// at 2727, left of 2713 + 177, and centres it.
TEST(PrintLayout, TitleIsCentredOnlyWhileTheHeaderLineStartsLeftOfItsEnd) {
  TRecordingCanvas canvas = ExampleSheet();
  DrawReport(canvas, Job(1, "/" + std::string(60, 'd') + "/a.tif"));
  EXPECT_EQ(Select(canvas.Sheet(0), "text")[1], "text 2047,249 'Tiff Header Report'");
}

TEST(PrintLayout, ASheetTooShortForOneRowPrintsOneRowPerSheetWithItsFurniture) {
  // Printable height 100: (100 - 5 yu) / 96 rounds to 0 lines.
  TRecordingCanvas canvas(2100, 300, 100, 96, 20);
  DrawReport(canvas, Job(3));
  EXPECT_EQ(canvas.SheetCount(), 3);
  for (int s = 0; s < 3; ++s) {
    const TCalls sheet = canvas.Sheet(s);
    EXPECT_EQ(Select(sheet, "text").size(), 3u);  // header line, title, notice
    EXPECT_EQ(Select(sheet, "clip").size(), 16u); // headings and one row
  }
}

} // namespace
} // namespace lodestar
