#pragma once

// Free of Qt, so that the command-line tool can write the report without seeing Qt.

#include "PrintLayout.h"

#include <string>

namespace lodestar {

// The sheet of a report written as PDF: A4 portrait at 600 dots per inch with a printable area
// 100 device pixels inside every edge.
inline constexpr int ReportPdfResolution = 600;
inline constexpr int ReportPdfOffset = 100;

// Writes the job as a PDF at outPath (a local path). The document goes to a temporary file beside
// it, renamed over outPath only once complete, so a failure leaves nothing half-written there.
// Starts Qt's offscreen platform for the fonts when the process has no Qt application, so it runs
// without a display. Raises std::runtime_error with the reason when it cannot write.
void WriteReportPdf(const TPrintJob& job, const std::string& outPath);

// Today in the system's short date format, as the page header line shows it.
std::string TodayShortDate();

} // namespace lodestar
