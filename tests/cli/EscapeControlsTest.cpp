// Names as the progress line and the report of unreadable entries print them.
#include "EscapeControls.h"

#include <gtest/gtest.h>

namespace lodestar::cli {
namespace {

TEST(EscapeControls, ControlsAndBytesOfNoCharacterAreEscaped) {
  const struct {
    std::string In, Out;
  } cases[] = {
      {"/scans/box 1/a.tif", "/scans/box 1/a.tif"},
      {"caf\xc3\xa9 \xe2\x82\xac", "caf\xc3\xa9 \xe2\x82\xac"}, // UTF-8 stays
      {"a\nb\rc\td", "a\\x0Ab\\x0Dc\\x09d"},
      {"\x1b[2J\x07", "\\x1B[2J\\x07"},           // a terminal's escape sequence
      {"del\x7f c1\xc2\x9b", "del\\x7F c1\\x9B"}, // DEL and the C1 CSI
      {"latin1 \xe9t\xe9", "latin1 \\xE9t\\xE9"}, // not UTF-8
      {"cut \xe2\x82", "cut \\xE2\\x82"},         // a sequence cut short
      {"back\\slash", "back\\\\slash"},           // so \x41 in a name cannot pass for A
  };
  for (const auto& c : cases)
    EXPECT_EQ(EscapeControls(c.In), c.Out) << c.Out;
}

TEST(EscapeControls, CutFromTheLeftAtACharacter) {
  EXPECT_EQ(CutFromLeft("short", 10), "short");
  EXPECT_EQ(CutFromLeft("0123456789abc", 10), "...6789abc");
  EXPECT_EQ(CutFromLeft("x\xc3\xa9\xc3\xa9\xc3\xa9", 6), "...\xc3\xa9");
}

} // namespace
} // namespace lodestar::cli
