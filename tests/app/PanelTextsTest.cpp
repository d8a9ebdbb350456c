// The status panel texts and the default error report's text, without a window.
#include "ErrorReport.h"
#include "StatusPanels.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

struct TPathCase {
  const char* Name;
  std::size_t Length;
  std::size_t Shown; // characters of the path after the prefix
  const char* Prefix;
};

class FileNamePanel : public ::testing::TestWithParam<TPathCase> {};

// A path of the given length whose characters tell their position: "/" then digits cycling.
std::string PathOfLength(std::size_t n) {
  std::string path = n > 0 ? "/" : "";
  while (path.size() < n)
    path += static_cast<char>('0' + path.size() % 10);
  return path;
}

TEST_P(FileNamePanel, ShowsWholeShortPathsAndTheEndOfLongOnes) {
  const TPathCase& c = GetParam();
  const std::string path = PathOfLength(c.Length);
  EXPECT_EQ(FileNamePanelText(path), c.Prefix + path.substr(path.size() - c.Shown));
}

INSTANTIATE_TEST_SUITE_P(Lengths, FileNamePanel,
                         ::testing::Values(TPathCase{"Chars29", 29, 29, "Filename: "},
                                           TPathCase{"Chars30", 30, 30, "..."},
                                           TPathCase{"Chars31", 31, 31, "..."},
                                           TPathCase{"Chars40", 40, 31, "..."},
                                           TPathCase{"Empty", 0, 0, "Filename: "}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FileNamePanelCharacters, CountsCharactersNotBytes) {
  // 35 characters, of which the first 10 take two bytes each: the last 31 are shown whole.
  std::string path;
  for (int i = 0; i < 10; ++i)
    path += "\xC3\xA9"; // é
  path += std::string(25, 'a');
  EXPECT_EQ(FileNamePanelText(path), "..." + path.substr(8));
}

TEST(PagePanel, PlainDecimalNumbers) {
  EXPECT_EQ(PagePanelText(2, 5), "Page 2 of 5");
  EXPECT_EQ(PagePanelText(1, 0), "Page 1 of 0");
  EXPECT_EQ(PagePanelText(12345, 12345), "Page 12345 of 12345");
}

class PageSizePanel : public ::testing::Test {
protected:
  std::string SizeText(const std::vector<TEntrySpec>& entries, char separator = '.') {
    TTiffBuilder b;
    b.Pages({entries});
    TTiffFile file;
    file.SetFileName(b.Save(Dir.File("page.tif")));
    return PageSizePanelText(file, 1, std::string(1, separator));
  }
  TTempDir Dir;
  TTiffBuilder B;
};

TEST_F(PageSizePanel, WithoutSizeTagsEveryValueIsOne) {
  EXPECT_EQ(SizeText({B.ShortEntry(259, 1)}), "Width:    25.40 mm;  Length:    25.40 mm");
}

TEST_F(PageSizePanel, A4At300Dpi) {
  EXPECT_EQ(SizeText({B.ShortEntry(256, 2480), B.ShortEntry(257, 3508),
                      B.RationalEntry(282, 300, 1), B.RationalEntry(283, 300, 1)}),
            "Width:   209.97 mm;  Length:   297.01 mm");
}

TEST_F(PageSizePanel, UsesTheGivenDecimalSeparator) {
  EXPECT_EQ(SizeText({B.ShortEntry(256, 2480), B.ShortEntry(257, 3508),
                      B.RationalEntry(282, 300, 1), B.RationalEntry(283, 300, 1)},
                     ','),
            "Width:   209,97 mm;  Length:   297,01 mm");
}

TEST_F(PageSizePanel, ResolutionZeroIsADivisionError) {
  EXPECT_THROW(SizeText({B.ShortEntry(256, 100), B.ShortEntry(282, 0)}), EZeroDivide);
  EXPECT_THROW(SizeText({B.ShortEntry(257, 100), B.ShortEntry(283, 0)}), EZeroDivide);
}

TEST_F(PageSizePanel, ValueThatIsNoWholeNumberIsAConversionError) {
  EXPECT_THROW(SizeText({B.BytesEntry(256, Undefined, {1, 2})}), EConvertError);
}

TEST_F(PageSizePanel, MissingPageGivesEmptyText) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 10)}});
  TTiffFile file;
  file.SetFileName(b.Save(Dir.File("one.tif")));
  EXPECT_EQ(PageSizePanelText(file, 2, "."), "");
  EXPECT_EQ(PageSizePanelText(file, 0, "."), "");
}

TEST(MillimetreFigures, PaddedToEightAndNeverCut) {
  EXPECT_EQ(FormatMillimetres(0.0L, "."), "    0.00");
  EXPECT_EQ(FormatMillimetres(-25.4L, "."), "  -25.40");
  EXPECT_EQ(FormatMillimetres(123456.789L, "."), "123456.79");
}

struct TStopCase {
  const char* Name;
  const char* Message;
  const char* Shown;
};

class ErrorReportFullStop : public ::testing::TestWithParam<TStopCase> {};

TEST_P(ErrorReportFullStop, AppendedAfterCharactersSortingAfterThePoint) {
  EXPECT_EQ(ErrorReportText(GetParam().Message), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    LastCharacter, ErrorReportFullStop,
    ::testing::Values(TStopCase{"Letter", "Not a valid tiff file", "Not a valid tiff file."},
                      TStopCase{"Digit", "5054", "5054."}, TStopCase{"Question", "why?", "why?."},
                      TStopCase{"Point", "done.", "done."}, TStopCase{"Comma", "a,", "a,"},
                      TStopCase{"Bang", "stop!", "stop!"}, TStopCase{"Quote", "'x'", "'x'"},
                      TStopCase{"Slash", "dir/", "dir/."}, TStopCase{"Empty", "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace lodestar::test
