#include "Launchers.h"

#include <filesystem>
#include <unistd.h>

namespace lodestar {

const char* const HomePageAddress = LODESTAR_HOMEPAGE;
const char* const MakerSiteAddress = LODESTAR_MAKER_SITE;
const char* const SupportMailAddress = LODESTAR_SUPPORT_MAIL;

namespace {

struct TLaunchError {
  int Code;
  const char* Text;
};

constexpr TLaunchError LaunchErrors[] = {
    {0, "The operating system is out of memory or resources."},
    {2, "The viewer or file to launch was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied access to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred."},
    {27, "The filename association is incomplete or invalid."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being "
         "processed."},
    {31, "There is no application associated with the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
};

// In the order a desktop is likely to prefer them: GNOME, KDE, then the lighter ones.
constexpr const char* Calculators[] = {"gnome-calculator", "kcalc",     "galculator",
                                       "qalculate-gtk",    "mate-calc", "xcalc"};

bool IsExecutableFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::optional<std::string> LaunchErrorText(int code) {
  for (const TLaunchError& error : LaunchErrors)
    if (error.Code == code)
      return error.Text;
  return std::nullopt;
}

void ShowLaunchError(int code) {
  if (std::optional<std::string> text = LaunchErrorText(code))
    throw ELaunchError(*text);
}

std::optional<int> LaunchCodeOfXdgOpenExit(int exitStatus) {
  switch (exitStatus) {
  case 2:
    return 2;
  case 3:
    return 31;
  case 4:
    return 27;
  default:
    return std::nullopt;
  }
}

std::string FindCalculator(std::string_view pathVariable) {
  for (const char* name : Calculators) {
    std::string_view rest = pathVariable;
    while (true) {
      const std::size_t colon = rest.find(':');
      std::string_view dir = rest.substr(0, colon);
      // An empty entry is the current directory, which a launcher must not search.
      if (!dir.empty() && dir.front() == '/') {
        const std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (IsExecutableFile(candidate))
          return candidate.string();
      }
      if (colon == std::string_view::npos)
        break;
      rest.remove_prefix(colon + 1);
    }
  }
  return {};
}

std::string SupportMailText() {
  return std::string("mailto:") + SupportMailAddress + "?subject= Lodestar Version 5.1&Body=";
}

} // namespace lodestar
