#pragma once

#include "TCheckResult.h"

#include <string>
#include <vector>

namespace lodestar::check {

enum class TReportFormat { Text, Csv, Ndjson };

// The lines one file's check gives in a format, without line ends. Text: one line per finding,
// "PATH: SEVERITY RULE [directory, tag, @position] message", then the verdict line. Csv: one row
// per finding with the file's verdict; a file without findings gets one row with the finding cells
// empty. Ndjson: one object for the file.
std::vector<std::string> ReportLines(const std::string& path, const TCheckResult& result,
                                     TReportFormat format);

// The csv header row.
std::string CsvHeader();

// Where a finding is: "page 1, 256 ImageWidth, @10"; "header, @4" for the header.
std::string PlaceText(const TFinding& finding);

} // namespace lodestar::check
