// WriteReportPdf's file, drawn by Qt.
#include "PdfInfo.h"
#include "ReportPdf.h"

#include <QGuiApplication>
#include <algorithm>
#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

TPrintJob Job(std::size_t rows) {
  TPrintJob job = DesignPrintJob({}, "6.12.26");
  job.FileName = "/scans/a.tif";
  for (std::size_t i = 0; i < rows; ++i)
    job.Rows.push_back({std::to_string(i + 1), {"8", "256", "ImageWidth", "2480"}});
  return job;
}

std::vector<std::string> Listing(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// An older, longer file is replaced whole, and nothing is left beside it.
TEST(PrintPdf, WritesOneSheetPerSixtyOneRowsAndReplacesAnOlderFileWhole) {
  TTempDir dir;
  const std::string out = dir.File("report.pdf");
  std::ofstream(out) << std::string(100000, 'x');
  WriteReportPdf(Job(2 * 61 + 1), out);
  EXPECT_EQ(PdfInfo(out, "Pages"), "3");
  const std::string bytes = FileBytes(out);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_EQ(bytes.find('x' + std::string(50, 'x')), std::string::npos);
  EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"report.pdf"});
}

TEST(PrintPdf, AFailedWriteLeavesNothingUnderTheNameOrBesideIt) {
  TTempDir dir;
  std::filesystem::create_directory(dir.File("taken"));
  std::ofstream(dir.File("taken/keep")) << "kept";
  for (const std::string& out : {dir.File("missing/report.pdf"), dir.File("taken")}) {
    SCOPED_TRACE(out);
    EXPECT_THROW(WriteReportPdf(Job(3), out), std::runtime_error);
    EXPECT_EQ(Listing(dir.Path()), std::vector<std::string>{"taken"});
    EXPECT_EQ(Listing(dir.File("taken")), std::vector<std::string>{"keep"});
    EXPECT_EQ(FileBytes(dir.File("taken/keep")), "kept");
  }
}

} // namespace
} // namespace lodestar::test

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
