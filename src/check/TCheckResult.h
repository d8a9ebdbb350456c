#pragma once

#include "TRule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lodestar::check {

enum class TVerdict : std::uint8_t { Valid, NotValid, NotWellFormed };

// "well-formed and valid", "well-formed, not valid", "not well-formed".
const char* VerdictText(TVerdict verdict);

struct TFinding {
  const TRule* Rule = nullptr;
  std::string Directory;            // "page 2", "Exif", "SubIFD 1.2"; empty for the header
  int Page = 0;                     // 1-based page the directory belongs to; 0 for the header
  std::optional<std::uint16_t> Tag; // the entry's tag, when the finding is about one
  int Entry = -1;                   // the entry's 0-based index in its directory, -1 for none
  std::uint64_t EntryPos = 0;       // where that entry lies, when there is one
  std::uint64_t Offset = 0;         // where in the file
  std::string Message;
};

struct TCheckResult {
  bool BigTiff = false;
  int Pages = 0;
  std::vector<TFinding> Findings; // in the order the file was walked
  TVerdict Verdict = TVerdict::Valid;
};

// The verdict of findings: their worst severity.
TVerdict VerdictOf(const std::vector<TFinding>& findings);

// Drops the findings of the rules named and gives the verdict of the rest.
void IgnoreRules(TCheckResult& result, const std::vector<std::string>& ids);

// "256 ImageWidth" in the main table's words, the number alone where it has none.
std::string TagText(std::uint16_t tag, const std::string& directory);

} // namespace lodestar::check
