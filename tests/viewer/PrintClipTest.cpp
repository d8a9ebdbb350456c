// Cells that fit are drawn without a clip, for speed: the sheets must look exactly as if every
// cell were clipped.
#include "PdfInfo.h"
#include "ReportPdf.h"
#include "TQtPrintCanvas.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <gtest/gtest.h>

namespace lodestar {
namespace {

using test::FileBytes;
using test::RunProgram;
using test::TTempDir;

void WritePdf(const TPrintJob& job, const std::string& path, bool clipEveryCell) {
  QPdfWriter writer(QString::fromStdString(path));
  writer.setResolution(ReportPdfResolution);
  writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
  QPainter painter(&writer);
  TQtPrintCanvas canvas(painter, writer);
  canvas.ClipEveryCell(clipEveryCell);
  DrawReport(canvas, job);
}

TEST(PrintClip, CellsDrawnWithoutAClipLookAsClipped) {
  TPrintJob job = DesignPrintJob({}, "6.12.26");
  job.FileName = "/scans/a.tif";
  // Texts around every column's width, in wide and narrow letters, and letters outside Latin-1.
  for (std::size_t n = 1; n <= 58; ++n) {
    const std::string wide(n, 'W'), narrow(3 * n, 'i');
    job.Rows.push_back({wide.substr(0, n % 9),
                        {narrow.substr(0, n % 12), wide.substr(0, n % 7), n % 2 ? wide : narrow,
                         "Ascii", wide.substr(0, n % 11), n % 3 ? "786434" : "\u2192" + wide}});
  }
  TTempDir dir;
  const std::string clipped = dir.Path() / "clipped.pdf";
  const std::string fast = dir.Path() / "fast.pdf";
  WritePdf(job, clipped, true);
  WritePdf(job, fast, false);
  for (const auto& [pdf, prefix] : {std::pair{clipped, "c"}, std::pair{fast, "f"}})
    ASSERT_EQ(
        RunProgram("pdftoppm", {"-r", "300", "-gray", pdf, (dir.Path() / prefix).string()}).Status,
        0);
  const std::string a = FileBytes(dir.Path() / "c-1.pgm"), b = FileBytes(dir.Path() / "f-1.pgm");
  ASSERT_FALSE(a.empty());
  EXPECT_TRUE(a == b) << "the sheets differ";
}

} // namespace
} // namespace lodestar
