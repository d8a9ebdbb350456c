// Every corpus file against the findings reviewed by hand in golden/corpus.txt. Run with
// LODESTAR_UPDATE_GOLDEN=1 to write the file anew, then review the difference.

#include "CheckReport.h"
#include "TChecker.h"
#include "TFileReader.h"
#include "TempDir.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

TEST(CheckCorpus, FindingsAsReviewed) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(TestDataDir() / "corpus"))
    if (entry.path().filename() != "SOURCES.md")
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GT(files.size(), 100u);

  std::string report;
  for (const auto& path : files) {
    TFileReader source(path.string());
    const auto result = check::TChecker::CheckSource("", source);
    for (const auto& line :
         check::ReportLines(path.filename().string(), result, check::TReportFormat::Text))
      report += line + "\n";
  }
  const std::string golden = std::string(LODESTAR_SOURCE_DIR) + "/tests/check/golden/corpus.txt";
  if (std::getenv("LODESTAR_UPDATE_GOLDEN")) {
    std::ofstream(golden, std::ios::binary) << report;
    GTEST_SKIP() << "wrote " << golden;
  }
  // A failure shows the lines that changed.
  EXPECT_EQ(report, FileBytes(golden));
}

} // namespace
} // namespace lodestar::test
