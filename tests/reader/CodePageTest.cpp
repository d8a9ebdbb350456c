#include "CodePage.h"

#include <gtest/gtest.h>
#include <string>

namespace lodestar {
namespace {

TEST(CodePage, EveryByteSurvivesTheRoundTripAndMapsToItsOwnCharacter) {
  std::u16string seen;
  for (int b = 0; b < 256; ++b) {
    char16_t ch = NarrowToWide(static_cast<unsigned char>(b));
    EXPECT_EQ(WideToNarrow(ch), b) << "byte " << b;
    EXPECT_EQ(seen.find(ch), std::u16string::npos) << "byte " << b << " shares its character";
    seen.push_back(ch);
  }
}

TEST(CodePage, MapsWindows1252AndItsFiveGapsToControlCharacters) {
  EXPECT_EQ(NarrowToWide(0x41), u'A');
  EXPECT_EQ(NarrowToWide(0x00), u'\0');
  EXPECT_EQ(NarrowToWide(0x7F), u'\x7F');
  EXPECT_EQ(NarrowToWide(0x80), u'\u20AC');
  EXPECT_EQ(NarrowToWide(0x8A), u'\u0160');
  EXPECT_EQ(NarrowToWide(0x9F), u'\u0178');
  EXPECT_EQ(NarrowToWide(0xA0), u'\u00A0');
  EXPECT_EQ(NarrowToWide(0xE9), u'\u00E9');
  EXPECT_EQ(NarrowToWide(0xFF), u'\u00FF');
  for (unsigned char gap : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
    EXPECT_EQ(NarrowToWide(gap), char16_t(gap)) << int(gap);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(WideToNarrow(u'\u4E00'), '?');
  EXPECT_EQ(WideToNarrow(u'\u0100'), '?');
  // U+0080 is not a character of the code page: 0x80 is the euro sign.
  EXPECT_EQ(WideToNarrow(u'\u0080'), '?');
}

TEST(CodePage, StringsConvertByteForByteKeepingNul) {
  const std::string bytes("a\0\x80\x81\xff", 5);
  const std::u16string text = DecodeNarrow(bytes);
  EXPECT_EQ(text, std::u16string(u"a\0\u20AC\u0081\u00FF", 5));
  EXPECT_EQ(EncodeNarrow(text), bytes);
}

TEST(CodePage, Utf8ConversionKeepsNulAndNonAscii) {
  const std::u16string text(u"x\0\u00E9\u20AC", 4);
  const std::string utf8 = ToUtf8(text);
  EXPECT_EQ(utf8, std::string("x\0\xC3\xA9\xE2\x82\xAC", 7));
  EXPECT_EQ(FromUtf8(utf8), text);
}

} // namespace
} // namespace lodestar
