#include "ReaderTestSupport.h"

#include <climits>
#include <utility>

namespace lodestar::test {
namespace {

using namespace std::string_literals;

TEST(CodePage, IsWindows1252AsABijectionWithItsFiveGapsAsControls) {
  std::u16string seen;
  for (int b = 0; b < 256; ++b) {
    const char16_t ch = NarrowToWide(static_cast<unsigned char>(b));
    EXPECT_EQ(WideToNarrow(ch), b) << b;
    EXPECT_EQ(seen.find(ch), std::u16string::npos) << b;
    seen += ch;
  }
  const std::string bytes = "A\0\x80\x81\x8A\x8D\x8F\x90\x9D\x9F\xE9"s;
  const std::u16string text = u"A\0\u20AC\u0081\u0160\u008D\u008F\u0090\u009D\u0178\u00E9"s;
  EXPECT_EQ(DecodeNarrow(bytes), text);
  EXPECT_EQ(EncodeNarrow(text), bytes);
  // U+0080 is no character of the code page: 0x80 is the euro sign.
  EXPECT_EQ(EncodeNarrow(u"\u4E00\u0080x"), "??x");
}

TEST(CodePage, Utf8KeepsNulAndReplacesWhatIsNoCharacter) {
  const std::u16string text = u"x\0\u00E9\u20AC\U0001F600"s;
  const std::string utf8 = "x\0\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"s;
  EXPECT_EQ(ToUtf8(text), utf8);
  EXPECT_EQ(FromUtf8(utf8), text);
  // A stray byte, an overlong form and a cut sequence.
  EXPECT_EQ(FromUtf8("a\xFF\xC0\xAF\xE2\x82"), u"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(StrToInt, TakesOnlySignedDecimal32BitNumbers) {
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
  EXPECT_EQ(StrToInt("2147483647"), INT_MAX);
  for (const char* text : {"2147483648", "", " ", "-", "+", "+-1", "1 ", " 1", "1.0", "0x10"})
    EXPECT_THROW(StrToInt(text), EConvertError) << text;
  EXPECT_STREQ(EConvertError("12a").what(), "'12a' is not a valid integer value");
}

TEST(FileReader, ReadsAnyRangeAcrossRefillsAndStopsAtTheEnd) {
  TTempDir dir;
  std::vector<std::uint8_t> bytes(300000);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  TFileReader stream(TTiffBuilder().Raw(0, bytes).Save(dir.File("bytes.bin")));
  ASSERT_EQ(stream.Size(), 300000);
  // Forward, backward, straddling the buffer, past the end and before the start (where offsets of
  // 2^31 and above lie).
  const std::pair<std::int64_t, std::size_t> reads[] = {{0, 8},      {65530, 20}, {4, 2},
                                                        {1, 131072}, {0, 300000}, {150000, 100000},
                                                        {299998, 8}, {-1, 8}};
  for (auto [pos, count] : reads) {
    const std::size_t expected = pos < 0 ? 0 : std::min<std::size_t>(count, 300000 - pos);
    std::vector<std::uint8_t> got(count);
    stream.Seek(pos);
    ASSERT_EQ(stream.Read(got.data(), count), expected) << pos;
    EXPECT_EQ(stream.Position(), pos + std::int64_t(expected));
    EXPECT_TRUE(expected == 0 ||
                std::equal(got.begin(), got.begin() + expected, bytes.begin() + pos))
        << pos;
  }
}

} // namespace
} // namespace lodestar::test
