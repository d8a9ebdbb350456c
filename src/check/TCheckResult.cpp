#include "TCheckResult.h"

#include "uTagDescription.h"

#include <algorithm>

namespace lodestar::check {

const char* VerdictText(TVerdict verdict) {
  switch (verdict) {
  case TVerdict::Valid:
    return "well-formed and valid";
  case TVerdict::NotValid:
    return "well-formed, not valid";
  case TVerdict::NotWellFormed:
    return "not well-formed";
  }
  return "?";
}

TVerdict VerdictOf(const std::vector<TFinding>& findings) {
  TVerdict verdict = TVerdict::Valid;
  for (const TFinding& finding : findings) {
    if (finding.Rule->Severity == TSeverity::Fatal)
      return TVerdict::NotWellFormed;
    if (finding.Rule->Severity == TSeverity::Error)
      verdict = TVerdict::NotValid;
  }
  return verdict;
}

void IgnoreRules(TCheckResult& result, const std::vector<std::string>& ids) {
  if (ids.empty())
    return;
  std::erase_if(result.Findings, [&](const TFinding& finding) {
    return std::find(ids.begin(), ids.end(), finding.Rule->Id) != ids.end();
  });
  result.Verdict = VerdictOf(result.Findings);
}

std::string TagText(std::uint16_t tag, const std::string& directory) {
  std::string text = std::to_string(tag);
  // The main table's names mean nothing inside Exif, GPS and Interoperability directories.
  // A nested directory is named by its path: its own name is the last part.
  const std::string_view own = std::string_view(directory).substr(directory.rfind('/') + 1);
  const bool mainTable = own.starts_with("page") || own.starts_with("SubIFD");
  const std::string& name = TagDescription(tag);
  if (mainTable && !name.starts_with("Unknown Tag")) {
    text += ' ';
    text += name.substr(0, name.find_last_not_of(' ') + 1);
  }
  return text;
}

} // namespace lodestar::check
