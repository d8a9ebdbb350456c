#include "Diagnostics.h"

#include "ExitStatus.h"

#include <cstdio>

namespace lodestar::cli {

namespace {

void Report(const char* kind, const std::string& subject, const std::string& message) {
  std::fflush(stdout);
  std::fprintf(stderr, "lodestar-cli: %s: '%s': %s\n", kind, subject.c_str(), message.c_str());
}

} // namespace

void ReportError(const std::string& subject, const std::string& message) {
  Report("error", subject, message);
}

void ReportWarning(const std::string& subject, const std::string& message) {
  Report("warning", subject, message);
}

void ReportLine(const char* kind, const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "lodestar-cli: %s: %s\n", kind, text.c_str());
}

int FinishStandardOutput(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    ReportLine("error", "writing standard output failed");
    return ExitFailed;
  }
  return status;
}

} // namespace lodestar::cli
