#include "ReportRows.h"

#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace lodestar {
namespace {

using test::TByteOrder;
using test::TEntrySpec;
using test::TTempDir;
using test::TTiffBuilder;

const std::string Nul(1, '\0');

TReportRow Row(std::string caption, std::vector<std::string> cells = {}) {
  return TReportRow{std::move(caption), std::move(cells)};
}

// The five rows above the tag rows.
std::vector<TReportRow> HeaderBlock(const std::string& name, int pages, int page,
                                    const std::string& byteOrder = "Little-endian") {
  return {
      Row("", {"", "Filename", name}),
      Row("", {"", "", "Total Pages", std::to_string(pages)}),
      Row("", {"", "", "Current Page", std::to_string(page)}),
      Row("", {"", "", "Header Byte order", byteOrder}),
      Row(""),
  };
}

std::vector<TReportRow> ClosingBlock() {
  return {Row(""), Row("", {"", "", "Lodestar Ver 4.0", VersionRowText})};
}

std::vector<TReportRow> Concat(std::vector<TReportRow> a, const std::vector<TReportRow>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class ReportRowsTest : public ::testing::Test {
protected:
  // Saves the builder's bytes as name and loads them.
  const TTiffFile& Load(const TTiffBuilder& builder, const std::string& name = "a.tif") {
    FFile.SetFileName(builder.Save(FDir.File(name)));
    return FFile;
  }

  TTempDir FDir;
  TTiffFile FFile;
};

// --- Shape of the listing --------------------------------------------------------------------

TEST_F(ReportRowsTest, PageWithoutTagsHasHeaderBlankAndVersionRowsOnly) {
  TTiffBuilder b;
  b.Header(8).Directory(8, {});
  const TReportRows report = BuildReportRows(Load(b), 1, TDisplayBase::Dec);

  EXPECT_FALSE(report.InputFileWrong);
  EXPECT_EQ(report.Page, 1);
  EXPECT_EQ(report.FilePath, FDir.File("a.tif"));
  ASSERT_EQ(report.Rows.size(), 7u);
  EXPECT_EQ(report.Rows, Concat(HeaderBlock("a.tif", 1, 1), ClosingBlock()));
}

TEST_F(ReportRowsTest, MiddlePageOfThreeNumbersItsTagsFromOne) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 100)},
           {b.ShortEntry(256, 200), b.ShortEntry(257, 300)},
           {b.ShortEntry(256, 400)}});
  const TTiffFile& file = Load(b);
  const std::int32_t dir = file.Pages().GetPage(1)->DirectoryOffset();
  const auto pos = [dir](int entry, int offset) {
    return std::to_string(dir + 2 + 12 * entry + offset);
  };

  const TReportRows report = BuildReportRows(file, 2, TDisplayBase::Dec);

  EXPECT_FALSE(report.InputFileWrong);
  EXPECT_EQ(
      report.Rows,
      Concat(Concat(HeaderBlock("a.tif", 3, 2),
                    {Row("1", {pos(0, 0), "256", "ImageWidth", "200", "Short", "1", pos(0, 8)}),
                     Row("2", {pos(1, 0), "257", "ImageLength", "300", "Short", "1", pos(1, 8)})}),
             ClosingBlock()));
}

TEST_F(ReportRowsTest, BigEndianFileShowsItsByteOrder) {
  TTiffBuilder b(TByteOrder::Big);
  b.Header(8).Directory(8, {});
  const TReportRows report = BuildReportRows(Load(b), 1, TDisplayBase::Dec);
  EXPECT_EQ(report.Rows[3], HeaderBlock("a.tif", 1, 1, "Big-endian")[3]);
}

// --- Display base ----------------------------------------------------------------------------

struct TBaseCase {
  const char* Name;
  TDisplayBase Base;
  std::vector<TReportRow> TagRows;
};

class ReportRowsBaseTest : public ReportRowsTest,
                           public ::testing::WithParamInterface<TBaseCase> {};

// One directory at 8, so the first entry stands at 10:
//   entry 0 at 10: ImageDescription, 17 characters at 206
//   entry 1 at 22: StripOffsets, Long 4096, value field at 30
//   entry 2 at 34: NewSubfileType, Long with count 2^32 - 1 (a negative count)
//   entry 3 at 46: DocumentName, 5 characters at offset 0
TEST_P(ReportRowsBaseTest, OnlyPositionsAndCountsFollowTheBase) {
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.AsciiEntry(270, "Scanned invoice!" + Nul, 206),
                            b.LongEntry(273, 4096), b.RawEntry(254, test::Long, 0xFFFFFFFF, 0),
                            b.RawEntry(269, test::Ascii, 5, 0)});
  const TReportRows report = BuildReportRows(Load(b), 1, GetParam().Base);

  EXPECT_FALSE(report.InputFileWrong);
  EXPECT_EQ(report.Rows,
            Concat(Concat(HeaderBlock("a.tif", 1, 1), GetParam().TagRows), ClosingBlock()));
}

const std::string HeaderBytes = std::string("II*") + Nul + "\x08";

INSTANTIATE_TEST_SUITE_P(
    , ReportRowsBaseTest,
    ::testing::Values(
        TBaseCase{"Dec",
                  TDisplayBase::Dec,
                  {Row("1", {"10", "270", "ImageDescript.", "Scanned invoice!" + Nul, "Ascii", "17",
                             "206"}),
                   Row("2", {"22", "273", "StripOffsets", "4096", "Long", "1", "30"}),
                   Row("3", {"34", "254", "NewSubfileType", "", "Long", "-1", "42"}),
                   Row("4", {"46", "269", "DocumentName", HeaderBytes, "Ascii", "5", "0"})}},
        TBaseCase{"Hex",
                  TDisplayBase::Hex,
                  {Row("1", {"A", "270", "ImageDescript.", "Scanned invoice!" + Nul, "Ascii", "11",
                             "CE"}),
                   Row("2", {"16", "273", "StripOffsets", "4096", "Long", "1", "1E"}),
                   Row("3", {"22", "254", "NewSubfileType", "", "Long", "FFFFFFFF", "2A"}),
                   Row("4", {"2E", "269", "DocumentName", HeaderBytes, "Ascii", "5", "0"})}}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TFormatCase {
  std::int32_t Value;
  const char* Dec;
  const char* Hex;
};

class FormatInBaseTest : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(FormatInBaseTest, WritesSignedDecimalAndUnsignedUpperCaseHex) {
  EXPECT_EQ(FormatInBase(GetParam().Value, TDisplayBase::Dec), GetParam().Dec);
  EXPECT_EQ(FormatInBase(GetParam().Value, TDisplayBase::Hex), GetParam().Hex);
}

INSTANTIATE_TEST_SUITE_P(, FormatInBaseTest,
                         ::testing::Values(TFormatCase{0, "0", "0"}, TFormatCase{206, "206", "CE"},
                                           TFormatCase{INT32_MAX, "2147483647", "7FFFFFFF"},
                                           TFormatCase{-1, "-1", "FFFFFFFF"},
                                           TFormatCase{INT32_MIN, "-2147483648", "80000000"}));

// --- Cell texts ------------------------------------------------------------------------------

TEST_F(ReportRowsTest, ValueCellKeepsEveryNulAndConvertsToUtf8) {
  TTiffBuilder b;
  // "Café", an inner NUL, "x" and the terminating NUL; 0xE9 is é in the narrow code page.
  b.Header(8).Directory(8, {b.AsciiEntry(270, "Caf\xE9" + Nul + "x" + Nul)});
  const TReportRows report = BuildReportRows(Load(b), 1, TDisplayBase::Dec);

  const std::string& cell = report.Rows.at(5).SubItems.at(3);
  EXPECT_EQ(cell, "Caf\xC3\xA9" + Nul + "x" + Nul);
  EXPECT_EQ(VisibleText(cell), "Caf\xC3\xA9");
}

struct TNameCase {
  const char* Path;
  const char* Name;
};

class FileNameOnlyTest : public ::testing::TestWithParam<TNameCase> {};

TEST_P(FileNameOnlyTest, TakesThePartAfterTheLastSeparator) {
  EXPECT_EQ(FileNameOnly(GetParam().Path), GetParam().Name);
}

const TNameCase NameCases[] = {
    {"/scans/2026/a.tif", "a.tif"}, {"a.tif", "a.tif"},   {"/scans/", ""},
#ifdef _WIN32
    {"C:\\scans\\a.tif", "a.tif"},  {"C:a.tif", "a.tif"}, {"\\\\server\\share/x\\a.tif", "a.tif"},
#else
    // Backslash and colon are ordinary name characters.
    {"/scans/C:\\a.tif", "C:\\a.tif"},
#endif
};

INSTANTIATE_TEST_SUITE_P(, FileNameOnlyTest, ::testing::ValuesIn(NameCases));

// --- Input file wrong ------------------------------------------------------------------------

struct TMissingPageCase {
  const char* Name;
  int Page;
};

class ReportRowsMissingPageTest : public ReportRowsTest,
                                  public ::testing::WithParamInterface<TMissingPageCase> {};

TEST_P(ReportRowsMissingPageTest, KeepsTheHeaderBlockOnly) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 100)}});
  const TReportRows report = BuildReportRows(Load(b), GetParam().Page, TDisplayBase::Dec);

  EXPECT_TRUE(report.InputFileWrong);
  EXPECT_EQ(report.Rows, HeaderBlock("a.tif", 1, GetParam().Page));
}

INSTANTIATE_TEST_SUITE_P(, ReportRowsMissingPageTest,
                         ::testing::Values(TMissingPageCase{"PastTheLast", 2},
                                           TMissingPageCase{"Zero", 0},
                                           TMissingPageCase{"Negative", -1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(ReportRowsTest, FileWithoutPagesShowsTotalPagesZeroAndFails) {
  TTiffBuilder b;
  b.Header(0);
  const TReportRows report = BuildReportRows(Load(b), 1, TDisplayBase::Dec);

  EXPECT_TRUE(report.InputFileWrong);
  EXPECT_EQ(report.Rows, HeaderBlock("a.tif", 0, 1));
}

TEST_F(ReportRowsTest, BlankTagEndsTheListingInsideItsRow) {
  TTiffBuilder b;
  // Three entries announced at 8; the file ends at 32, inside entry 1's value field (30..33),
  // after the two bytes its Short needs. Entry 2 at 34 lies past the end and stays blank.
  b.Header(8).Directory(8,
                        {b.ShortEntry(256, 1728), b.ShortEntry(257, 2200), b.ShortEntry(258, 1)});
  b.Truncate(32);
  const TReportRows report = BuildReportRows(Load(b), 1, TDisplayBase::Dec);

  EXPECT_TRUE(report.InputFileWrong);
  EXPECT_EQ(report.Rows, Concat(HeaderBlock("a.tif", 1, 1),
                                {Row("1", {"10", "256", "ImageWidth", "1728", "Short", "1", "18"}),
                                 Row("2", {"22", "257", "ImageLength", "2200", "Short", "1", "30"}),
                                 Row("3", {"0", ""})}));
}

} // namespace
} // namespace lodestar
