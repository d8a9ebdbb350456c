// The launchers' tables: failure codes and texts, xdg-open's exit statuses, the calculator search
// and the mail text.
#include "Launchers.h"

#include "TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace lodestar {
namespace {

TEST(Launchers, CodesOfTheTableRaiseTheirTextAndOthersNothing) {
  int listed = 0;
  for (int code = -1; code <= 40; ++code)
    listed += LaunchErrorText(code).has_value();
  EXPECT_EQ(listed, 13);
  EXPECT_EQ(LaunchErrorText(30), "The DDE transaction could not be completed because other DDE "
                                 "transactions were being processed.");
  try {
    ShowLaunchError(31);
    ADD_FAILURE() << "nothing raised";
  } catch (const ELaunchError& error) {
    EXPECT_STREQ(error.what(),
                 "There is no application associated with the given filename extension.");
  }
  for (int silent : {1, 4, 33, 42})
    EXPECT_NO_THROW(ShowLaunchError(silent)) << silent;
}

TEST(Launchers, XdgOpenExitStatusesMapOntoTheTable) {
  // 1 is xdg-open's own usage error; 2 file not found, 3 no tool, 4 the tool failed.
  const std::optional<int> expected[] = {std::nullopt, std::nullopt, 2, 31, 27, std::nullopt};
  for (int status = 0; status < 6; ++status)
    EXPECT_EQ(LaunchCodeOfXdgOpenExit(status), expected[status]) << status;
}

TEST(Launchers, TheFirstCalculatorOnThePathInOrderOfPreference) {
  namespace fs = std::filesystem;
  test::TTempDir dir;
  auto put = [&](const std::string& name, bool executable) {
    fs::create_directories(dir.Path() / fs::path(name).parent_path());
    std::ofstream(dir.File(name)) << "#!/bin/sh\n";
    fs::permissions(dir.File(name), executable ? fs::perms::owner_all : fs::perms::owner_read);
    return dir.File(name);
  };
  const std::string a = dir.File("a"), b = dir.File("b");
  EXPECT_EQ(FindCalculator(a + ":" + b), "");
  const std::string xcalc = put("b/xcalc", true);
  put("a/kcalc", false); // not executable: passed over
  EXPECT_EQ(FindCalculator(a + "::" + b), xcalc);
  const std::string kcalc = put("b/kcalc", true);
  EXPECT_EQ(FindCalculator(a + ":" + b), kcalc); // kcalc is preferred to xcalc
}

TEST(Launchers, TheMailTextIsUnencodedWithItsSubjectAfterABlank) {
  EXPECT_EQ(SupportMailText(),
            "mailto:" + std::string(SupportMailAddress) + "?subject= Lodestar Version 5.1&Body=");
}

} // namespace
} // namespace lodestar
