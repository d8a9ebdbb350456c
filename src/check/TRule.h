#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lodestar::check {

// Fatal: the file cannot be read as TIFF as written. Error: it can, but breaks a rule of the
// format. Warning: worth knowing, changes no verdict.
enum class TSeverity : std::uint8_t { Fatal, Error, Warning };

struct TRule {
  std::string_view Id;
  TSeverity Severity;
  std::string_view Summary;
  std::string_view Reference;
};

// Every rule the checker runs, in catalogue order. The catalogue (--list-rules, docs/checks.md)
// is written from this table alone.
std::span<const TRule> Rules();
// Null for an ID no rule has.
const TRule* FindRule(std::string_view id);

const char* SeverityText(TSeverity severity);

// The catalogue as Markdown, the text of docs/checks.md.
std::string RuleCatalogueMarkdown();
// The catalogue as `lodestar-cli check --list-rules` prints it: one rule a line.
std::string RuleCatalogueText();

} // namespace lodestar::check
