// The calculator search; the launch failures and xdg-open's statuses are seen from the window in
// tests/app.
#include "Launchers.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace lodestar {
namespace {

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

} // namespace
} // namespace lodestar
