#include "ReaderTestSupport.h"

#include <climits>

namespace lodestar::test {
namespace {

using namespace std::string_literals;
constexpr TByteOrder LE = TByteOrder::Little, BE = TByteOrder::Big;
const std::string At26 = "\x1A\0\0\0"s, At26Be = "\0\0\0\x1A"s;

// One directory at 8 with one entry at 10: its value field at 18 holds Field, Data goes at 26.
struct TValueCase {
  const char* Name;
  TByteOrder Order;
  std::uint16_t Type;
  std::uint32_t Count;
  std::string Field, Data;
  std::u16string Value;
  std::uint64_t ValuePos = 18;
  std::size_t Size = 0; // the file is cut to this size (the next offset lies past it); 0 leaves it
};

class ValueText : public ReaderTest, public ::testing::WithParamInterface<TValueCase> {};

TEST_P(ValueText, FollowsTheRuleOfItsType) {
  const TValueCase& c = GetParam();
  TTiffBuilder b(c.Order);
  b.Header(8).Directory(8, {b.RawEntry(300, c.Type, c.Count, 0)});
  b.Raw(18, c.Field).Raw(26, c.Data);
  auto file = Load(c.Size ? b.Truncate(c.Size) : b);
  const TTag& tag = *file->Pages().GetPage(0)->Tags().GetTag(0);
  EXPECT_EQ(tag.Value(), c.Value);
  EXPECT_EQ(tag.ValuePos(), c.ValuePos);
  EXPECT_EQ(FMessages.size(), c.Size ? 1u : 0u);
}

// Ascii: all bytes, NULs too; Byte: bytes from 32 up; both up to the count and the end of the
// file. Short: the field's first 16 bits. Long: the field for a count of 1, 0 if unreadable.
// Rational: the first fraction, signed, rounded half to even; the blank if zero or unreadable.
const TValueCase ValueCases[] = {
    {"AsciiInField", LE, Ascii, 4, "ab\0c"s, "", u"ab\0c"s},
    {"AsciiAtOffsetBig", BE, Ascii, 12, At26Be, "hello world\0"s, u"hello world\0"s, 26},
    {"AsciiCodePage", LE, Ascii, 5, At26, "a\x80\x81\xE9\xFF", u"a\u20AC\u0081\u00E9\u00FF", 26},
    {"AsciiHugeCount", LE, Ascii, INT_MAX, At26, "tail", u"tail", 26},
    {"AsciiAt2GiB", LE, Ascii, 10, "\0\0\0\x80"s, "", u"", 0x80000000u},
    {"ByteAtOffset", LE, Byte, 6, At26, "A\0B\nC "s, u"ABC "},
    {"ByteHigh", LE, Byte, 4, "\x1F\x7F\x80\xFF", "", u"\u007F\u20AC\u00FF"},
    {"BytePastTheEnd", LE, Byte, 10, At26, "x\ty", u"xy"},
    {"ShortBig", BE, Short, 1, "\x01\0\0\0"s, "", u"256"},
    {"ShortCountThreeBig", BE, Short, 3, "\0\x01\0\x02"s, "", u"1"},
    {"SShortUnsigned", LE, SShort, 1, "\xFF\xFF", "", u"65535"},
    {"LongBig", BE, Long, 1, "\0\x01\x11\x70"s, "", u"70000"},
    {"SLongUnsigned", LE, SLong, 1, "\xFF\xFF\xFF\xFF", "", u"4294967295"},
    {"DoubleShowsItsOffset", LE, Double, 1, At26, "", u"26"},
    {"LongPastTheEnd", LE, Long, 1, "", "", u"0", 18, 18},
    {"ShortPastTheEnd", LE, Short, 1, "", "", u" ", 18, 18},
    {"RationalBig", BE, Rational, 1, At26Be, "\0\0\x01\x2C\0\0\0\x01"s, u"300"},
    {"RationalHalfDown", LE, Rational, 1, At26, "\5\0\0\0\2\0\0\0"s, u"2"},
    {"RationalHalfUp", LE, Rational, 1, At26, "\7\0\0\0\2\0\0\0"s, u"4"},
    {"RationalSigned", LE, Rational, 1, At26, "\x0A\0\0\0\xFC\xFF\xFF\xFF"s, u"-2"},
    {"RationalNegativeHalf", LE, Rational, 1, At26, "\xF9\xFF\xFF\xFF\2\0\0\0"s, u"-4"},
    {"RationalNegativeHalfDown", LE, Rational, 1, At26, "\5\0\0\0\xFE\xFF\xFF\xFF"s, u"-2"},
    {"RationalThirds", LE, Rational, 1, At26, "\xFE\xFF\xFF\xFF\3\0\0\0"s, u"-1"},
    {"RationalPastInt", LE, Rational, 1, At26, "\0\0\0\x80\xFF\xFF\xFF\xFF"s, u"2147483648"},
    {"RationalOverZero", LE, Rational, 1, At26, "\1\0\0\0\0\0\0\0"s, u" "},
    {"FloatAsRational", BE, Float, 1, At26Be, "\0\0\0\5\0\0\0\2"s, u"2"},
    {"SByte", LE, SByte, 1, "A", "", u"?"}};
INSTANTIATE_TEST_SUITE_P(Types, ValueText, ::testing::ValuesIn(ValueCases),
                         [](const auto& info) { return std::string(info.param.Name); });

using EntryTest = ReaderTest;

// Entries read one by one: a bad one spoils none after it. An entry cut by the end of the file
// keeps what was read; one starting past it stays blank and has no description.
TEST_F(EntryTest, EachEntryKeepsWhatCouldBeRead) {
  TTiffBuilder b(BE);
  b.Header(8).Directory(8, {b.RawEntry(0, Rational, 1, 0x7FFFFFF0u),
                            b.RawEntry(65535, Short, UINT_MAX, 0x00770000), b.ShortEntry(257, 1),
                            b.ShortEntry(258, 1)});
  auto file = Load(b.Truncate(38));
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  std::string fields;
  for (const TTag& tag : tags)
    fields += Fields(tag) + "\n";
  EXPECT_EQ(fields, "0 4 1 10 18 [ ]\n65535 2 4294967295 22 30 [119]\n257 2 0 34 0 [ ]\n"
                    " 0 0 0 0 [ ]\n");
  EXPECT_THROW((void)tags.GetTag(3)->Description(), EConvertError);
  EXPECT_EQ(FMessages, (std::vector<std::string>{"streamsize", "3858"}));
}

// Values past their limit are cut and marked; entries that share their bytes read them whole,
// each of them, while the file holds those bytes once: 1,000 entries naming the same 8 KiB with a
// count of 1 MiB, and a Byte entry counting 2^31 - 1 near the end of the file.
TEST_F(EntryTest, LongValuesAreCutAndSharedOnesHeldOnce) {
  const std::string whole(TTag::MaxAsciiBytes, 'a'), longer(TTag::MaxAsciiBytes + 1, 'b');
  std::vector<std::uint8_t> bytes(TTag::MaxByteBytes + 2, 'x');
  for (std::size_t i = 1; i < bytes.size(); i += 2)
    bytes[i] = 0x01; // left out of the text
  TTiffBuilder b;
  auto file = Load(b.Pages({{b.AsciiEntry(270, whole), b.AsciiEntry(271, longer),
                             b.BytesEntry(700, Byte, bytes), b.AsciiEntry(305, "short")}}));
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  EXPECT_EQ(tags.GetTag(0)->Value(), std::u16string(TTag::MaxAsciiBytes, u'a'));
  EXPECT_EQ(tags.GetTag(1)->Value(), std::u16string(TTag::MaxAsciiBytes, u'b'));
  EXPECT_EQ(tags.GetTag(2)->Value(), std::u16string(TTag::MaxByteBytes / 2, u'x'));
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(tags.GetTag(i)->ValueCut(), i == 1 || i == 2) << i;

  TTiffBuilder shared;
  shared.Header(8).Directory(
      8, std::vector<TEntryDraft>(1000, b.RawEntry(270, Ascii, 1 << 20, 12100)));
  file = Load(shared.Raw(12100, std::string(8192, 't')));
  for (const TTag& tag : file->Pages().GetPage(0)->Tags())
    ASSERT_EQ(tag.Value(), std::u16string(8192, u't'));
  EXPECT_EQ(file->ValueBytes().size(), 8192u);

  TTiffBuilder near;
  near.Header(8).Directory(8, {b.RawEntry(270, Ascii, 9, 65), b.RawEntry(700, Byte, INT_MAX, 66)});
  file = Load(near.Raw(65, "ab\1cdefghi").Truncate(75));
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().GetTag(0)->Value(), u"ab\1cdefgh");
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().GetTag(1)->Value(), u"bcdefghi");
  EXPECT_EQ(file->ValueBytes(), "ab\1cdefghi");
}

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
  EXPECT_EQ(EncodeNarrow(u"\u4E00\u0080x"), "??x"); // U+0080 is no character of the code page
  // UTF-8 keeps NUL and replaces a stray byte, an overlong form and a cut sequence.
  EXPECT_EQ(ToUtf8(u"x\0\u00E9\u20AC\U0001F600"s), "x\0\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"s);
  EXPECT_EQ(FromUtf8("x\0\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"s), u"x\0\u00E9\u20AC\U0001F600"s);
  EXPECT_EQ(FromUtf8("a\xFF\xC0\xAF\xE2\x82"), u"a\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
}

} // namespace
} // namespace lodestar::test
