#include "ReportRows.h"

#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

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

// The five rows above the tag rows, the tag rows, and the two closing rows unless cut short.
TRows Listing(int pages, int page, const TRows& tagRows, bool closed = true) {
  TRows rows = {Row("", {"", "Filename", Name}),
                Row("", {"", "", "Total Pages", std::to_string(pages)}),
                Row("", {"", "", "Current Page", std::to_string(page)}),
                Row("", {"", "", "Header Byte order", "Little-endian"}), Row("")};
  rows.insert(rows.end(), tagRows.begin(), tagRows.end());
  if (closed) {
    rows.push_back(Row(""));
    rows.push_back(Row("", {"", "", "Lodestar Ver 4.0", "Lodestar V5.3"}));
  }
  return rows;
}

class ReportRowsTest : public ::testing::Test {
protected:
  const TTiffFile& Load(const TTiffBuilder& builder) {
    FFile.SetFileName(builder.Save(FDir.File(Name)));
    return FFile;
  }

  test::TTempDir FDir;
  TTiffFile FFile;
};

TEST_F(ReportRowsTest, ListsTheChosenPageBetweenHeaderAndClosingRows) {
  TTiffBuilder b;
  // Directories at 8 (no entries), 14 (entries at 16 and 28) and 44.
  b.Pages({{}, {b.ShortEntry(256, 200), b.ShortEntry(257, 300)}, {b.ShortEntry(256, 400)}});
  const TTiffFile& file = Load(b);

  const TReportRows first = BuildReportRows(file, 1, TDisplayBase::Dec);
  EXPECT_FALSE(first.InputFileWrong);
  EXPECT_EQ(first.FilePath, FDir.File(Name));
  EXPECT_EQ(first.Rows, Listing(3, 1, {})); // seven rows
  EXPECT_EQ(BuildReportRows(file, 2, TDisplayBase::Dec).Rows,
            Listing(3, 2,
                    {Row("1", {"16", "256", "ImageWidth", "200", "Short", "1", "24"}),
                     Row("2", {"28", "257", "ImageLength", "300", "Short", "1", "36"})}));
  // A page outside the file: the header block only, and "Input file wrong".
  for (int page : {4, 0, -1}) {
    const TReportRows missing = BuildReportRows(file, page, TDisplayBase::Dec);
    EXPECT_TRUE(missing.InputFileWrong) << page;
    EXPECT_EQ(missing.Rows, Listing(3, page, {}, false)) << page;
  }
}

TEST_F(ReportRowsTest, PositionsAndCountsFollowTheBaseUpToABlankTag) {
  TTiffBuilder b;
  // The text (0xE9 is "é" in the narrow code page) stands at 8, the entries at 42, 54, 66 and
  // 78. The third count is 2^32 - 1, negative as a signed number. The file ends where the last
  // entry starts, which leaves it a blank tag: its row ends where its description raises.
  b.Header(40).Directory(40, {b.AsciiEntry(270, "Scanned caf\xE9" + Nul + "x" + Nul, 8),
                              b.LongEntry(273, 4096), b.RawEntry(254, test::Long, 0xFFFFFFFF, 0),
                              b.ShortEntry(256, 1)});
  const TTiffFile& file = Load(b.Truncate(78));
  const std::string text = "Scanned caf\xC3\xA9" + Nul + "x" + Nul;

  const TReportRows dec = BuildReportRows(file, 1, TDisplayBase::Dec);
  EXPECT_TRUE(dec.InputFileWrong);
  EXPECT_EQ(dec.Rows, Listing(1, 1,
                              {Row("1", {"42", "270", "ImageDescript.", text, "Ascii", "15", "8"}),
                               Row("2", {"54", "273", "StripOffsets", "4096", "Long", "1", "62"}),
                               Row("3", {"66", "254", "NewSubfileType", "", "Long", "4294967295", "74"}),
                               Row("4", {"78", ""})},
                              false));
  EXPECT_EQ(BuildReportRows(file, 1, TDisplayBase::Hex).Rows,
            Listing(1, 1,
                    {Row("1", {"2A", "270", "ImageDescript.", text, "Ascii", "F", "8"}),
                     Row("2", {"36", "273", "StripOffsets", "4096", "Long", "1", "3E"}),
                     Row("3", {"42", "254", "NewSubfileType", "", "Long", "FFFFFFFF", "4A"}),
                     Row("4", {"4E", ""})},
                    false));
}

} // namespace
} // namespace lodestar
