#pragma once

#include <string>

namespace lodestar::cli {

// The one way the tool speaks on standard error. Standard output is flushed first, so that a
// reader of both streams sees a message after the lines that came before it.

// "lodestar-cli: error: 'SUBJECT': MESSAGE"; the caller decides the exit status.
void ReportError(const std::string& subject, const std::string& message);
// "lodestar-cli: warning: 'SUBJECT': MESSAGE"; warnings never change the exit status.
void ReportWarning(const std::string& subject, const std::string& message);
// "lodestar-cli: KIND: TEXT", for what concerns no single file.
void ReportLine(const char* kind, const std::string& text);

// Standard output may be a full disk or a closed pipe; output that did not arrive must not end
// with success. Returns status, or ExitFailed (said on standard error) when the output failed.
int FinishStandardOutput(int status);

} // namespace lodestar::cli
