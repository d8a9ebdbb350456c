#pragma once

#include <string>

inline constexpr const char* ApplicationTitle = "Lodestar";
inline constexpr const char* MainWindowCaption = "Lodestar V5.3";

// The text of the default error report: the message with a full stop appended when its last
// character sorts after "." (a letter, a digit or "?" gets one; ".", "," or "!" does not).
std::string ErrorReportText(std::string message);
