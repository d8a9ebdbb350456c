#include "ReportRows.h"

#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>

namespace lodestar {

void PrintTo(const TReportRow& row, std::ostream* os) {
  *os << ::testing::PrintToString(row.Caption) << ::testing::PrintToString(row.SubItems);
}

namespace {

using test::TTiffBuilder;
using TRows = std::vector<TReportRow>;

const std::string Nul(1, '\0');
// Backslash and colon are ordinary characters of a name on Linux: only "/" separates.
const std::string Name = "C:\\a.tif";

TReportRow Row(std::string caption, std::vector<std::string> cells = {}) {
  return TReportRow{std::move(caption), std::move(cells)};
}

// The five rows above the tag rows of the only page, then the tag rows; a file cut short has no
// closing rows.
TRows Listing(const TRows& tagRows) {
  TRows rows = {Row("", {"", "Filename", Name}), Row("", {"", "", "Total Pages", "1"}),
                Row("", {"", "", "Current Page", "1"}),
                Row("", {"", "", "Header Byte order", "Little-endian"}), Row("")};
  rows.insert(rows.end(), tagRows.begin(), tagRows.end());
  return rows;
}

TEST(ReportRows, PositionsAndCountsFollowTheBaseUpToABlankTag) {
  test::TTempDir dir;
  TTiffBuilder b;
  // The text (0xE9 is "é" in the narrow code page) stands at 8, the entries at 42, 54, 66 and
  // 78. The third count is 2^32 - 1. The file ends where the last entry starts, which leaves it
  // a blank tag: its row ends where its description raises.
  b.Header(40).Directory(40, {b.AsciiEntry(270, "Scanned caf\xE9" + Nul + "x" + Nul, 8),
                              b.LongEntry(273, 4096), b.RawEntry(254, test::Long, 0xFFFFFFFF, 0),
                              b.ShortEntry(256, 1)});
  TTiffFile file;
  file.SetFileName(b.Truncate(78).Save(dir.File(Name)));
  const std::string text = "Scanned caf\xC3\xA9" + Nul + "x" + Nul;

  const TReportRows dec = BuildReportRows(file, 1, TDisplayBase::Dec);
  EXPECT_TRUE(dec.InputFileWrong);
  EXPECT_EQ(dec.Rows,
            Listing({Row("1", {"42", "270", "ImageDescript.", text, "Ascii", "15", "8"}),
                     Row("2", {"54", "273", "StripOffsets", "4096", "Long", "1", "62"}),
                     Row("3", {"66", "254", "NewSubfileType", "", "Long", "4294967295", "74"}),
                     Row("4", {"78", ""})}));
  EXPECT_EQ(BuildReportRows(file, 1, TDisplayBase::Hex).Rows,
            Listing({Row("1", {"2A", "270", "ImageDescript.", text, "Ascii", "F", "8"}),
                     Row("2", {"36", "273", "StripOffsets", "4096", "Long", "1", "3E"}),
                     Row("3", {"42", "254", "NewSubfileType", "", "Long", "FFFFFFFF", "4A"}),
                     Row("4", {"4E", ""})}));
}

} // namespace
} // namespace lodestar
