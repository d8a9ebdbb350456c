#include "PrintLayout.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace lodestar {

namespace {

// Rounded to the nearest integer, halves to the even neighbour (the default rounding mode).
int R(double v) {
  return static_cast<int>(std::nearbyint(v));
}

// Integer division by 2, truncating toward zero.
int Half(int v) {
  return v / 2;
}

// No cell of an A4 sheet shows more characters than this; the rest would only be shaped and
// clipped, at a cost that grows with the value (a listing may hold values of a mebibyte).
constexpr std::size_t MaxCellBytes = 4096;

std::string CellPart(std::string_view text) {
  if (text.size() > MaxCellBytes) {
    std::size_t keep = MaxCellBytes;
    while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
      --keep; // never half a UTF-8 sequence
    text = text.substr(0, keep);
  }
  return std::string(text);
}

std::string CellText(const TReportRow& row, std::size_t column) {
  if (column == 0)
    return CellPart(VisibleText(row.Caption));
  // The header and closing rows carry fewer cells than there are columns.
  if (column - 1 < row.SubItems.size())
    return CellPart(VisibleText(row.SubItems[column - 1]));
  return {};
}

std::string PageHeaderText(const TPrintJob& job, int page, int totalPages) {
  return "File: " + job.FileName + "      Date: " + job.Date + "  Page: " + std::to_string(page) +
         " / " + std::to_string(totalPages);
}

class TSheetPainter {
public:
  TSheetPainter(TPrintCanvas& canvas, const TPrintJob& job, const TPrintGeometry& g)
      : FCanvas(canvas), FJob(job), G(g), FInsetX(R(0.1 * g.Xu)), FLiftY(R(0.1 * g.Yu)) {}

  // rowsLeft counts the row about to be printed.
  void Furniture(std::size_t rowsLeft) {
    const std::size_t n = FJob.ColumnWidths.size();
    const bool lastSheet = FCanvas.PageNumber() == G.TotalPages;
    const int gridBottom = lastSheet ? G.TableTop + (static_cast<int>(rowsLeft) + 2) * G.LineH
                                     : G.TableTop + (G.LinesPerPage + 1) * G.LineH;
    for (std::size_t i = 1; i < n; ++i)
      FCanvas.Line(G.ColX[i], G.TableTop, G.ColX[i], gridBottom);

    FCanvas.SetFont({10, true});
    for (std::size_t i = 0; i < n; ++i) {
      const std::string caption = i < FJob.Captions.size() ? FJob.Captions[i] : std::string();
      const int width = FCanvas.TextWidth(caption);
      const TPrintRect clip{G.ColX[i] + FInsetX, G.TableTop - FLiftY, G.ColX[i + 1] - FInsetX,
                            G.TableTop + G.LineH - FLiftY};
      const int x = G.ColX[i] + Half(G.ColX[i + 1] - G.ColX[i]) - Half(width);
      FCanvas.TextRect(clip, x, G.TableTop - FLiftY, caption);
    }

    const int ruleY = G.TableTop + G.LineH - R(0.05 * G.Yu);
    FCanvas.Line(G.ColX[0] - FInsetX, ruleY, G.ColX[n] + FInsetX, ruleY);

    // Right-aligned by its regular width, then drawn bold, so it runs a little past that point.
    const std::string header = PageHeaderText(FJob, FCanvas.PageNumber(), G.TotalPages);
    const int printableWidth = FCanvas.PrintableWidth();
    FCanvas.SetFont({8, false});
    const int headerX = printableWidth - R(1.5 * G.Xu) - 2 * Half(FCanvas.TextWidth(header));
    FCanvas.SetFont({8, true});
    FCanvas.TextOut(headerX, R(0.5 * G.Yu), header);

    // Centred while the header line starts left of the centred title's end plus 0.75 xu (a long
    // file name); at the left below a short header line.
    FCanvas.SetFont({18, true});
    const int titleWidth = FCanvas.TextWidth(PrintReportTitle);
    if (headerX < Half(titleWidth + printableWidth) + R(0.75 * G.Xu))
      FCanvas.TextOut(Half(printableWidth - titleWidth), R(G.Yu), PrintReportTitle);
    else
      FCanvas.TextOut(R(G.Xu), R(G.Yu), PrintReportTitle);

    FCanvas.SetFont({10, true});
    FCanvas.TextOut(R(G.Xu), R(1.8 * G.Yu), PrintMakersNotice);
    FCanvas.SetFont({10, false});
  }

  // Every column left-aligned, cut at its cell's right edge, never wrapped.
  void Row(const TReportRow& row, int lineOnPage) {
    const int y0 = G.TableTop + lineOnPage * G.LineH;
    for (std::size_t c = 0; c < FJob.ColumnWidths.size(); ++c) {
      const int left = G.ColX[c] + FInsetX;
      FCanvas.TextRect({left, y0, G.ColX[c + 1] - FInsetX, y0 + G.LineH}, left, y0,
                       CellText(row, c));
    }
  }

private:
  TPrintCanvas& FCanvas;
  const TPrintJob& FJob;
  const TPrintGeometry& G;
  const int FInsetX, FLiftY;
};

} // namespace

TPrintGeometry MeasureSheet(TPrintCanvas& canvas, const TPrintJob& job) {
  TPrintGeometry g;
  const int width = canvas.PrintableWidth();
  const int height = canvas.PrintableHeight();
  g.Xu = (width + 2.0 * canvas.PhysicalOffsetX()) / 21.0;
  g.Yu = (height + 2.0 * canvas.PhysicalOffsetY()) / 28.215;

  const double totalWidth = std::accumulate(job.ColumnWidths.begin(), job.ColumnWidths.end(), 0.0);
  g.ColX.push_back(R(1.5 * g.Xu));
  const int usable = width - R(1.5 * g.Xu) - g.ColX[0];
  for (const int columnWidth : job.ColumnWidths) {
    const double share = totalWidth > 0 ? columnWidth / totalWidth * usable : 0.0;
    g.ColX.push_back(R(share) + g.ColX.back());
  }
  g.TableTop = R(2.5 * g.Yu);

  // A font that measures nothing would otherwise divide by zero below.
  g.LineH = std::max(1, canvas.TextHeight("dummy"));
  g.LinesPerPage = std::max(1, R((height - 5.0 * g.Yu) / g.LineH));
  const std::size_t rows = job.Rows.size();
  const std::size_t perPage = static_cast<std::size_t>(g.LinesPerPage);
  g.TotalPages = std::max<int>(1, static_cast<int>((rows + perPage - 1) / perPage));
  return g;
}

void DrawReport(TPrintCanvas& canvas, const TPrintJob& job) {
  canvas.SetFont({10, false});
  const TPrintGeometry g = MeasureSheet(canvas, job);
  TSheetPainter sheet(canvas, job, g);
  int lineOnPage = 0;
  for (std::size_t r = 0; r < job.Rows.size(); ++r) {
    if (lineOnPage == 0 || lineOnPage > g.LinesPerPage) {
      if (lineOnPage > g.LinesPerPage)
        canvas.NewPage();
      lineOnPage = 1;
      sheet.Furniture(job.Rows.size() - r);
    }
    sheet.Row(job.Rows[r], lineOnPage);
    ++lineOnPage;
  }
}

TPrintJob DesignPrintJob(const TReportRows& rows, std::string date) {
  TPrintJob job;
  job.FileName = rows.FilePath;
  job.Date = std::move(date);
  for (const TReportColumn& column : ReportColumns) {
    job.Captions.emplace_back(column.Caption);
    job.ColumnWidths.push_back(column.Width);
  }
  job.Rows = rows.Rows;
  return job;
}

} // namespace lodestar
