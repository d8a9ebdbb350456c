// The launchers' tables: failure codes and texts, xdg-open's exit statuses, the calculator search
// and the mail text.
#include "Launchers.h"

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace lodestar {
namespace {

TEST(Launchers, EveryCodeOfTheTableHasItsTextAndOthersNone) {
  const std::pair<int, const char*> table[] = {
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
  int listed = 0;
  for (int code = -1; code <= 42; ++code) {
    SCOPED_TRACE(code);
    const auto* row = std::find_if(std::begin(table), std::end(table),
                                   [code](const auto& r) { return r.first == code; });
    if (row == std::end(table)) {
      EXPECT_EQ(LaunchErrorText(code), std::nullopt);
      EXPECT_NO_THROW(ShowLaunchError(code));
      continue;
    }
    ++listed;
    EXPECT_EQ(LaunchErrorText(code), row->second);
    try {
      ShowLaunchError(code);
      ADD_FAILURE() << "nothing raised";
    } catch (const ELaunchError& error) {
      EXPECT_STREQ(error.what(), row->second);
    }
  }
  EXPECT_EQ(listed, 13);
}

TEST(Launchers, XdgOpenExitStatusesMapOntoTheTable) {
  EXPECT_EQ(LaunchCodeOfXdgOpenExit(0), std::nullopt);
  EXPECT_EQ(LaunchCodeOfXdgOpenExit(1), std::nullopt); // its own usage error
  EXPECT_EQ(LaunchCodeOfXdgOpenExit(2), 2);            // the file does not exist
  EXPECT_EQ(LaunchCodeOfXdgOpenExit(3), 31);           // no tool to open it
  EXPECT_EQ(LaunchCodeOfXdgOpenExit(4), 27);           // the tool failed
  EXPECT_EQ(LaunchCodeOfXdgOpenExit(5), std::nullopt);
  EXPECT_EQ(XdgOpenMissingCode, 2);
  EXPECT_EQ(CalculatorMissingCode, 2);
}

TEST(Launchers, TheFirstCalculatorOnThePathInOrderOfPreference) {
  test::TTempDir dir;
  namespace fs = std::filesystem;
  auto put = [&](const std::string& name, bool executable) {
    const std::string path = dir.File(name);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << "#!/bin/sh\n";
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
    return path;
  };
  const std::string a = dir.File("a"), b = dir.File("b");
  EXPECT_EQ(FindCalculator(""), "");
  EXPECT_EQ(FindCalculator(a + ":" + b), "");
  put("b/xcalc", true);
  put("a/kcalc", false); // not executable: passed over
  EXPECT_EQ(FindCalculator(a + "::" + b), b + "/xcalc");
  const std::string kcalc = put("b/kcalc", true);
  EXPECT_EQ(FindCalculator(a + ":" + b), kcalc); // kcalc comes before xcalc
  const std::string gnome = put("a/gnome-calculator", true);
  EXPECT_EQ(FindCalculator(b + ":" + a), gnome);
  // A relative directory would search wherever the program was started.
  fs::create_directories(dir.File("a/rel"));
  EXPECT_EQ(FindCalculator("rel:" + b + "/xcalc-not-a-dir"), "");
}

TEST(Launchers, TheMailTextIsUnencodedWithItsSubjectAfterABlank) {
  EXPECT_EQ(SupportMailText(),
            "mailto:" + std::string(SupportMailAddress) + "?subject= Lodestar Version 5.1&Body=");
  EXPECT_NE(std::string(SupportMailAddress).find('@'), std::string::npos);
}

} // namespace
} // namespace lodestar
