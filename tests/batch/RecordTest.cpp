// The records of a run: header, page records and value cells, over files built in the test.
#include "TempDir.h"
#include "TestHost.h"
#include "TiffBuilder.h"

#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

const std::string Nul(1, '\0');

// The worked example: page 1 has width 1728 and no Software; page 2 has both, the Software value
// "Scanner 2", a blank and the terminating NUL.
std::string WorkedExample(const TTempDir& dir) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1728)},
           {b.ShortEntry(256, 1728), b.AsciiEntry(305, "Scanner 2 " + Nul)}});
  return b.Save(dir.File("a.tif"));
}

class Records : public testing::Test {
protected:
  TTempDir Dir;
  TTestHost Host{Dir.Path().string()};
  std::string Path = Dir.Path().string();
};

TEST_F(Records, WorkedExample) {
  WorkedExample(Dir);
  Host.Items({"256  Imagewidth", "305  Software"});
  EXPECT_EQ(Host.Start(), (std::vector<std::string>{
                              R"("Filename","Page","Imagewidth","Software")",
                              R"(")" + Path + R"(/a.tif","1","1728","")",
                              R"(")" + Path + R"(/a.tif","2","1728","Scanner 2")",
                          }));
}

TEST_F(Records, WorkedExampleSplit) {
  WorkedExample(Dir);
  Host.Items({"256  Imagewidth", "305  Software"});
  Host.Record.SplitPath = true;
  EXPECT_EQ(Host.Start(), (std::vector<std::string>{
                              R"("Path","Filename","Page","Imagewidth","Software")",
                              R"(")" + Path + R"(/","a.tif","1","1728","")",
                              R"(")" + Path + R"(/","a.tif","2","1728","Scanner 2")",
                          }));
}

TEST_F(Records, StartDirWithClosingSeparatorGivesTheSamePaths) {
  WorkedExample(Dir);
  Host.Items({"256  Imagewidth"});
  Host.Run.StartDir = Path + "/";
  EXPECT_EQ(Host.Start().at(1), R"(")" + Path + R"(/a.tif","1","1728")");
  Host.Run.StartDir = Path + "/./";
  EXPECT_EQ(Host.Start().at(1), R"(")" + Path + R"(/a.tif","1","1728")");
}

struct TSeparatorCase {
  const char* Name;
  std::string Separator;
};

class Separators : public Records, public testing::WithParamInterface<TSeparatorCase> {};

TEST_P(Separators, StandBetweenEveryTwoCellsAndNowhereElse) {
  WorkedExample(Dir);
  Host.Items({"256  Imagewidth", "305  Software"});
  Host.Record.Separator = GetParam().Separator;
  Host.Record.SplitPath = true;
  const std::string s = GetParam().Separator;
  EXPECT_EQ(Host.Start(), (std::vector<std::string>{
                              R"("Path")" + s + R"("Filename")" + s + R"("Page")" + s +
                                  R"("Imagewidth")" + s + R"("Software")",
                              R"(")" + Path + R"(/")" + s + R"("a.tif")" + s + R"("1")" + s +
                                  R"("1728")" + s + R"("")",
                              R"(")" + Path + R"(/")" + s + R"("a.tif")" + s + R"("2")" + s +
                                  R"("1728")" + s + R"("Scanner 2")",
                          }));
}

INSTANTIATE_TEST_SUITE_P(Records, Separators,
                         testing::Values(TSeparatorCase{"Comma", ","},
                                         TSeparatorCase{"Semicolon", ";"},
                                         TSeparatorCase{"SemicolonBlank", "; "},
                                         TSeparatorCase{"SeveralCharacters", " | "},
                                         TSeparatorCase{"Empty", ""}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(Records, SeparatorChangedDuringARunAppliesFromTheNextRecord) {
  WorkedExample(Dir);
  // The header and page 1 are written; then the user picks ";".
  struct THost : TTestHost {
    using TTestHost::TTestHost;
    void AddResultLine(const std::string& line) override {
      TTestHost::AddResultLine(line);
      if (Lines.size() == 2)
        Record.Separator = ";";
    }
  } host(Path);
  host.Items({"256  Imagewidth"});
  EXPECT_EQ(host.Start(), (std::vector<std::string>{
                              R"("Filename","Page","Imagewidth")",
                              R"(")" + Path + R"(/a.tif","1","1728")",
                              R"(")" + Path + R"(/a.tif";"2";"1728")",
                          }));
}

class Values : public Records {
protected:
  // One page with the given entries; returns its page record without the file and page cells.
  std::string Cells(const std::vector<TEntrySpec>& entries) {
    TTiffBuilder b;
    b.Pages({entries});
    b.Save(Dir.File("v.tif"));
    Host.Run.AddDescription = false;
    const auto& lines = Host.Start();
    EXPECT_EQ(lines.size(), 1u);
    const std::string prefix = R"(")" + Path + R"(/v.tif","1")";
    if (lines.empty() || lines[0].rfind(prefix, 0) != 0)
      return "<no record>";
    return lines[0].substr(prefix.size());
  }
  TTiffBuilder B;
};

TEST_F(Values, TrimRemovesBlanksAndControlsAtBothEnds) {
  Host.Items({"305  Software"});
  EXPECT_EQ(Cells({B.AsciiEntry(305, " \tScan  2 \x01" + Nul)}), R"(,"Scan  2")");
}

TEST_F(Values, UntrimmedValueKeepsBlanksAndDropsOnlyTheNul) {
  Host.Items({"305  Software"});
  Host.Record.TrimValue = false;
  EXPECT_EQ(Cells({B.AsciiEntry(305, " Scan 2 " + Nul)}), R"(," Scan 2 ")");
}

TEST_F(Values, NulInsideAValueIsDroppedAndTheCharactersAroundItStay) {
  Host.Items({"305  Software"});
  EXPECT_EQ(Cells({B.AsciiEntry(305, "ab" + Nul + "cd" + Nul)}), R"(,"abcd")");
}

TEST_F(Values, UnreadValueGivesAnEmptyCellWhenTrimmed) {
  Host.Items({"282  XResolution"});
  // A rational with denominator 0 keeps the value text of one blank.
  EXPECT_EQ(Cells({B.RationalEntry(282, 1, 0)}), R"(,"")");
}

TEST_F(Values, DoubleQuoteInAValueIsWrittenUnchanged) {
  Host.Items({"270  Name"});
  EXPECT_EQ(Cells({B.AsciiEntry(270, "12\" ruler" + Nul)}), R"(,"12" ruler")");
}

TEST_F(Values, BytesBeyondAsciiBecomeUtf8) {
  Host.Items({"315  Artist"});
  EXPECT_EQ(Cells({B.AsciiEntry(315, "Jos\xe9 \x80" + Nul)}), ",\"Jos\xc3\xa9 \xe2\x82\xac\"");
}

TEST_F(Values, ItemMatchingTwiceOnAPageGivesTwoCells) {
  Host.Items({"305  Software", "256  Imagewidth"});
  EXPECT_EQ(Cells({B.ShortEntry(256, 10), B.AsciiEntry(305, "one" + Nul),
                   B.AsciiEntry(305, "two" + Nul)}),
            R"(,"one","two","10")");
}

TEST_F(Values, ItemMatchingNothingGivesAnEmptyCell) {
  Host.Items({"315  Artist", "256  Imagewidth"});
  EXPECT_EQ(Cells({B.ShortEntry(256, 10)}), R"(,"","10")");
}

TEST_F(Values, ItemWithLeadingZeroNeverMatches) {
  Host.Items({"0256  Imagewidth", "256  Width"});
  EXPECT_EQ(Cells({B.ShortEntry(256, 10)}), R"(,"","10")");
}

TEST_F(Values, SameNumberInTwoItemsGivesTwoColumns) {
  Host.Items({"256  Imagewidth", "256  Width"});
  EXPECT_EQ(Cells({B.ShortEntry(256, 10)}), R"(,"10","10")");
}

TEST_F(Values, UntickedItemsGiveNoCell) {
  Host.Items({"256  Imagewidth", "257  Imageheight"});
  Host.List.SetTicked(0, false);
  EXPECT_EQ(Cells({B.ShortEntry(256, 10), B.ShortEntry(257, 20)}), R"(,"20")");
}

TEST_F(Records, ItemsPresentButNoneTickedGiveFileAndPageCellsOnly) {
  WorkedExample(Dir);
  for (int i = 0; i < Host.List.Count(); ++i)
    Host.List.SetTicked(i, false);
  Host.Record.SplitPath = true;
  EXPECT_EQ(Host.Start(), (std::vector<std::string>{
                              R"("Path","Filename","Page")",
                              R"(")" + Path + R"(/","a.tif","1")",
                              R"(")" + Path + R"(/","a.tif","2")",
                          }));
  EXPECT_TRUE(Host.Errors.empty());
}

TEST_F(Records, FirstPageOnlyKeepsThePageCellAndItsLabel) {
  WorkedExample(Dir);
  Host.Items({"305  Software"});
  Host.Record.AllPages = false;
  EXPECT_EQ(Host.Start(), (std::vector<std::string>{
                              R"("Filename","Page","Software")",
                              R"(")" + Path + R"(/a.tif","1","")",
                          }));
  EXPECT_EQ(Host.Pages, Host.Counter);
}

TEST_F(Records, HeaderLabelsComeFromItemDescriptions) {
  TRecordOptions options;
  options.TickedItems = {"300  ", "256", "257  Height ", "0256  Zero"};
  options.Separator = ";";
  // An item without a blank has no label: the header then names fewer cells than the rows hold.
  EXPECT_EQ(TBatchEngine::HeaderRecord(options), R"("Filename";"Page";"";"Height";"Zero")");
}

TEST_F(Records, FileWithoutPagesIsCountedWithoutRecord) {
  TTiffBuilder b;
  b.Header(0);
  b.Save(Dir.File("empty.tif"));
  Host.Run.AddDescription = false;
  EXPECT_TRUE(Host.Start().empty());
  EXPECT_EQ(Host.Counter, "1");
  EXPECT_EQ(Host.Pages, "0");
}

} // namespace
} // namespace lodestar::test
