#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lodestar {

// The addresses the build was configured with.
extern const char* const HomePageAddress;
extern const char* const MakerSiteAddress;
extern const char* const SupportMailAddress;

// A launch failure raised for the default error report.
class ELaunchError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The message of a launch failure code (the shell's result values), or none for a code that has
// no message.
std::optional<std::string> LaunchErrorText(int code);

// Raises ELaunchError with the code's message; a code without a message is silent.
void ShowLaunchError(int code);

// xdg-open's own exit statuses mapped onto the launch failure codes: 2 the file was not found,
// 3 no tool to open it, 4 the tool failed. Success and everything else map to none.
std::optional<int> LaunchCodeOfXdgOpenExit(int exitStatus);
// xdg-open itself could not be started.
inline constexpr int XdgOpenMissingCode = 2;
// No calculator was found.
inline constexpr int CalculatorMissingCode = 2;

// The first desktop calculator found in the directories of pathVariable (":"-separated, as
// $PATH), as a full path; empty when there is none.
std::string FindCalculator(std::string_view pathVariable);

// The support mail address with its subject, exactly as the shell receives it: unencoded, the
// subject beginning with a blank and carrying version 5.1, an empty body.
std::string SupportMailText();

} // namespace lodestar
