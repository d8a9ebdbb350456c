#include "CheckReport.h"

#include <nlohmann/json.hpp>

namespace lodestar::check {
namespace {

using TJson = nlohmann::ordered_json;

void AppendCell(std::string& row, std::string_view text) {
  if (!row.empty())
    row += ',';
  row += '"';
  for (char c : text) {
    if (c == '"')
      row += '"';
    row += c;
  }
  row += '"';
}

} // namespace

std::string PlaceText(const TFinding& finding) {
  std::string text = finding.Directory.empty() ? "header" : finding.Directory;
  if (finding.Tag) {
    text += ", ";
    text += TagText(*finding.Tag, finding.Directory);
  }
  text += ", @";
  text += std::to_string(finding.Offset);
  return text;
}

std::string CsvHeader() {
  std::string row;
  for (const char* name :
       {"File", "Verdict", "Severity", "Rule", "Directory", "Tag", "Offset", "Message"})
    AppendCell(row, name);
  return row;
}

std::vector<std::string> ReportLines(const std::string& path, const TCheckResult& result,
                                     TReportFormat format) {
  std::vector<std::string> lines;
  const char* verdict = VerdictText(result.Verdict);
  switch (format) {
  case TReportFormat::Text: {
    for (const TFinding& finding : result.Findings)
      lines.push_back(path + ": " + SeverityText(finding.Rule->Severity) + " " +
                      std::string(finding.Rule->Id) + " [" + PlaceText(finding) + "] " +
                      finding.Message);
    const std::size_t n = result.Findings.size();
    lines.push_back(path + ": " + verdict + " (" + std::to_string(n) +
                    (n == 1 ? " finding)" : " findings)"));
    break;
  }
  case TReportFormat::Csv: {
    for (const TFinding& finding : result.Findings) {
      std::string row;
      AppendCell(row, path);
      AppendCell(row, verdict);
      AppendCell(row, SeverityText(finding.Rule->Severity));
      AppendCell(row, finding.Rule->Id);
      AppendCell(row, finding.Directory.empty() ? "header" : finding.Directory);
      AppendCell(row, finding.Tag ? TagText(*finding.Tag, finding.Directory) : "");
      AppendCell(row, std::to_string(finding.Offset));
      AppendCell(row, finding.Message);
      lines.push_back(std::move(row));
    }
    if (result.Findings.empty()) {
      std::string row;
      AppendCell(row, path);
      AppendCell(row, verdict);
      for (int i = 0; i < 6; ++i)
        row += ",\"\"";
      lines.push_back(std::move(row));
    }
    break;
  }
  case TReportFormat::Ndjson: {
    TJson findings = TJson::array();
    for (const TFinding& finding : result.Findings)
      findings.push_back(
          TJson{{"rule", finding.Rule->Id},
                {"severity", SeverityText(finding.Rule->Severity)},
                {"directory", finding.Directory.empty() ? "header" : finding.Directory},
                {"tag", finding.Tag ? TJson(*finding.Tag) : TJson()},
                {"offset", finding.Offset},
                {"message", finding.Message}});
    TJson json{{"file", path},
               {"format", result.BigTiff ? "BigTIFF" : "TIFF"},
               {"pages", result.Pages},
               {"verdict", verdict},
               {"findings", std::move(findings)}};
    // A file name that is not UTF-8 becomes U+FFFD: JSON text must be UTF-8.
    lines.push_back(json.dump(-1, ' ', false, TJson::error_handler_t::replace));
    break;
  }
  }
  return lines;
}

} // namespace lodestar::check
