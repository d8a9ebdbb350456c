// The report drawn by Qt: the font it gets, the PDF sheet's measures, and WriteReportPdf's file.
#include "PdfInfo.h"
#include "ReportPdf.h"
#include "TQtPrintCanvas.h"
#include "TempDir.h"

#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace lodestar {
namespace {

using test::FileBytes;
using test::PdfInfo;
using test::TTempDir;

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

// A silent fallback to another family would change every line height of the report.
TEST(PrintFont, TimesNewRomanResolvesToTheMetricCompatibleLiberationSerif) {
  for (const bool bold : {false, true}) {
    QFont font(QString::fromUtf8(PrintFontFamily));
    font.setPointSize(10);
    font.setBold(bold);
    EXPECT_EQ(QFontInfo(font).family().toStdString(), "Liberation Serif");
  }
}

TEST(PrintPdf, SheetIsA4At600DpiWithOffsetsOf100AndLinesOf10PointTimes) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setResolution(ReportPdfResolution);
  const qreal margin = ReportPdfOffset * 72.0 / ReportPdfResolution;
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                   QMarginsF(margin, margin, margin, margin), QPageLayout::Point));
  QPainter painter(&writer);
  TQtPrintCanvas canvas(painter, writer);
  EXPECT_EQ(canvas.PhysicalOffsetX(), 100);
  EXPECT_EQ(canvas.PhysicalOffsetY(), 100);
  // A4 rounded to whole points, 595 x 842, is 4958 x 7017 pixels.
  EXPECT_EQ(canvas.PrintableWidth(), 4958 - 200);
  EXPECT_EQ(canvas.PrintableHeight(), 7017 - 200);
  canvas.SetFont({10, false});
  const TPrintGeometry g = MeasureSheet(canvas, Job(0));
  // Liberation Serif's ascent and descent, 1.107 em, as Times New Roman's: 92 pixels.
  EXPECT_EQ(g.LineH, 92);
  EXPECT_EQ(g.LinesPerPage, 61);
}

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

  WriteReportPdf(Job(0), out);
  EXPECT_EQ(PdfInfo(out, "Pages"), "1");
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
} // namespace lodestar

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
