#pragma once

#include "ReportRows.h"
#include "TPrintCanvas.h"

#include <string>
#include <vector>

namespace lodestar {

inline constexpr const char* PrintJobTitle = "Lodestar Print";
inline constexpr const char* PrintReportTitle = "Tiff Header Report";
inline constexpr const char* PrintMakersNotice = "Lodestar \u2014 TIFF structure report";
// Asked for by name; on Linux fontconfig supplies the metric-compatible Liberation Serif.
inline constexpr const char* PrintFontFamily = "Times New Roman";

// What one printed report is made of: the listed rows as they stand and the list's columns with
// their current widths. The file is never read again.
struct TPrintJob {
  std::string FileName; // named in the page header line
  std::string Date;     // today in the system's short date format
  std::vector<std::string> Captions;
  std::vector<int> ColumnWidths;
  std::vector<TReportRow> Rows;
};

// The sheet's measures, fixed at the start of a job.
struct TPrintGeometry {
  double Xu = 0, Yu = 0; // the sheet's width / 21 and height / 28.215
  std::vector<int> ColX; // the column boundaries, one more than there are columns
  int TableTop = 0;
  int LineH = 0;
  int LinesPerPage = 0; // at least 1: a sheet too short for one row still takes one
  int TotalPages = 1;
};

// Measures with the canvas's current font, which must be the rows' font.
TPrintGeometry MeasureSheet(TPrintCanvas& canvas, const TPrintJob& job);

// Lays the whole report out on the canvas: the furniture of every sheet and the rows, sheet after
// sheet. The canvas is already on its first sheet; beginning and ending the document are the
// caller's.
void DrawReport(TPrintCanvas& canvas, const TPrintJob& job);

// The job for the rows of a listing with the list's design column widths.
TPrintJob DesignPrintJob(const TReportRows& rows, std::string date);

} // namespace lodestar
