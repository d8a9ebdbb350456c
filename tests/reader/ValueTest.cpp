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
  std::size_t Size = 0; // the file is cut to this size; 0 leaves it
};

class ValueText : public ReaderTest, public ::testing::WithParamInterface<TValueCase> {};

TEST_P(ValueText, FollowsTheRuleOfItsType) {
  const TValueCase& c = GetParam();
  TTiffBuilder b(c.Order);
  b.Header(8).Directory(8, {b.RawEntry(300, c.Type, c.Count, 0)});
  b.Raw(18, c.Field).Raw(26, c.Data);
  auto file = Load(c.Size ? b.Truncate(c.Size) : b);
  ASSERT_EQ(file->Pages().GetPage(0)->Tags().Count(), 1);
  const TTag& tag = *file->Pages().GetPage(0)->Tags().GetTag(0);
  EXPECT_EQ(tag.Value(), c.Value);
  EXPECT_EQ(tag.ValuePos(), c.ValuePos);
  EXPECT_EQ(tag.EntryPos(), 10);
  EXPECT_EQ(FMessages.size(), c.Size ? 1u : 0u); // the next offset lies past a cut
}

// Ascii: all bytes, NULs too; Byte: bytes from 32 up; both up to the count and the end of the
// file. Short: the field's first 16 bits. Long: the field for a count of 1, 0 if unreadable.
// Rational: the first fraction, signed, rounded half to even; the blank if zero or unreadable.
const TValueCase ValueCases[] = {
    {"AsciiInField", LE, Ascii, 4, "ab\0c"s, "", u"ab\0c"s},
    {"AsciiAtOffsetBig", BE, Ascii, 12, At26Be, "hello world\0"s, u"hello world\0"s, 26},
    {"AsciiCountTwo", LE, Ascii, 2, "xyzw", "", u"xy"},
    {"AsciiCountZero", LE, Ascii, 0, "xyzw", "", u""},
    {"AsciiCodePage", LE, Ascii, 6, At26, "a\0\x80\x81\xE9\xFF"s, u"a\0\u20AC\u0081\u00E9\u00FF"s,
     26},
    {"AsciiHugeCount", LE, Ascii, INT_MAX, At26, "tail", u"tail", 26},
    {"AsciiAt2GiB", LE, Ascii, 10, "\0\0\0\x80"s, "", u"", 0x80000000u},
    {"ByteAtOffset", LE, Byte, 6, At26, "A\0B\nC "s, u"ABC "},
    {"ByteInFieldBig", BE, Byte, 4, "A\1BC", "", u"ABC"},
    {"ByteCountTwo", LE, Byte, 2, "ABCD", "", u"AB"},
    {"ByteHigh", LE, Byte, 4, "\x1F\x7F\x80\xFF", "", u"\u007F\u20AC\u00FF"},
    {"BytePastTheEnd", LE, Byte, 10, At26, "x\ty", u"xy"},
    {"ShortBig", BE, Short, 1, "\x01\0\0\0"s, "", u"256"},
    {"ShortCountThreeBig", BE, Short, 3, "\0\x01\0\x02"s, "", u"1"},
    {"SShortUnsigned", LE, SShort, 1, "\xFF\xFF", "", u"65535"},
    {"LongBig", BE, Long, 1, "\0\x01\x11\x70"s, "", u"70000"},
    {"LongCountTwo", LE, Long, 2, At26, "", u""},
    {"SLongUnsigned", LE, SLong, 1, "\xFF\xFF\xFF\xFF", "", u"4294967295"},
    {"DoubleShowsItsOffset", LE, Double, 1, At26, "", u"26"},
    {"LongPastTheEnd", LE, Long, 1, "", "", u"0", 18, 18},
    {"ShortPastTheEnd", LE, Short, 1, "", "", u" ", 18, 18},
    {"RationalBig", BE, Rational, 1, At26Be, "\0\0\x01\x2C\0\0\0\x01"s, u"300"},
    {"RationalHalfDown", LE, Rational, 1, At26, "\5\0\0\0\2\0\0\0"s, u"2"},
    {"RationalHalfUp", LE, Rational, 1, At26, "\7\0\0\0\2\0\0\0"s, u"4"},
    {"RationalSigned", LE, Rational, 1, At26, "\x0A\0\0\0\xFC\xFF\xFF\xFF"s, u"-2"},
    {"RationalMin", LE, Rational, 1, At26, "\0\0\0\x80\1\0\0\0"s, u"-2147483648"},
    {"RationalOverZero", LE, Rational, 1, At26, "\1\0\0\0\0\0\0\0"s, u" "},
    {"RationalPastTheEnd", LE, Rational, 1, At26, "\1\0\0\0"s, u" "},
    {"FloatAsRational", BE, Float, 1, At26Be, "\0\0\0\5\0\0\0\2"s, u"2"},
    {"SByte", LE, SByte, 1, "A", "", u"?"},
    {"Type0", LE, 0, 1, "A", "", u"?"}};
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
  ASSERT_EQ(tags.Count(), 4);
  EXPECT_EQ(tags.GetTag(4), nullptr);
  EXPECT_EQ(Fields(*tags.GetTag(0)), "0 4 1 10 18 [ ]");
  EXPECT_EQ(Fields(*tags.GetTag(1)), "65535 2 4294967295 22 30 [119]");
  EXPECT_EQ(Fields(*tags.GetTag(2)), "257 2 0 34 0 [ ]");
  EXPECT_EQ(Fields(*tags.GetTag(3)), " 0 0 0 0 [ ]");
  EXPECT_THROW((void)tags.GetTag(3)->Description(), EConvertError);
  EXPECT_EQ(FMessages, (std::vector<std::string>{"streamsize", "3858"}));
}

TEST_F(EntryTest, LongValuesAreCutAtTheirLimitAndMarked) {
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
}

// Entries that share their bytes read them whole, each of them, while the file holds those bytes
// once: 1,000 entries naming the same 8 KiB with a count of 1 MiB, and a Byte entry counting
// 2^31 - 1 near the end of a 75-byte file, which reads up to the end of the file.
TEST_F(EntryTest, SharedValuesAreReadWholeAndHeldOnce) {
  TTiffBuilder b;
  b.Header(8).Directory(8, std::vector<TEntryDraft>(1000, b.RawEntry(270, Ascii, 1 << 20, 12100)));
  auto file = Load(b.Raw(12100, std::string(8192, 't')));
  for (const TTag& tag : file->Pages().GetPage(0)->Tags()) {
    ASSERT_EQ(tag.Value(), std::u16string(8192, u't'));
    ASSERT_FALSE(tag.ValueCut());
  }
  EXPECT_EQ(file->ValueBytes().size(), 8192u);

  TTiffBuilder near;
  near.Header(8).Directory(
      8, {near.RawEntry(270, Ascii, 9, 65), near.RawEntry(700, Byte, INT_MAX, 66)});
  file = Load(near.Raw(65, "ab\x01"
                           "cdefghi")
                  .Truncate(75));
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  EXPECT_EQ(tags.GetTag(0)->Value(), u"ab\x01"
                                     u"cdefgh");
  EXPECT_EQ(tags.GetTag(1)->Value(), u"bcdefghi");
  EXPECT_TRUE(tags.GetTag(1)->ValueCut());
  EXPECT_EQ(file->ValueBytes(), "ab\x01"
                                "cdefghi");
}

using LookupTest = ReaderTest;

// Width, length and resolutions: the value of the first such tag, 1 without one, and the
// conversion error of its text when that is no 32-bit decimal number.
TEST_F(LookupTest, TakeTheFirstTagOrOneOrRaise) {
  TTiffBuilder b(BE);
  b.Pages({{b.ShortEntry(256, 1728), b.ShortEntry(256, 99), b.LongEntry(257, 2200),
            b.RationalEntry(282, 600, 2), b.AsciiEntry(283, "12")},
           {b.ShortEntry(9999, 0)},
           {b.BytesEntry(256, Undefined, {1}), b.LongEntry(257, 0x80000000u),
            b.RationalEntry(282, 1, 0), b.AsciiEntry(283, "640\0"s)}});
  auto file = Load(b);
  const TTiffPage &good = *file->Pages().GetPage(0), &none = *file->Pages().GetPage(1),
                  &bad = *file->Pages().GetPage(2);
  EXPECT_EQ(good.ImageWidth(), 1728);
  EXPECT_EQ(good.ImageLength(), 2200);
  EXPECT_EQ(good.XResolution(), 300);
  EXPECT_EQ(good.YResolution(), 12);
  EXPECT_EQ(none.YResolution(), 1);
  EXPECT_THROW(bad.ImageWidth(), EConvertError);  // "?"
  EXPECT_THROW(bad.ImageLength(), EConvertError); // 2^31 is no signed 32-bit number
  EXPECT_THROW(bad.XResolution(), EConvertError); // " "
  EXPECT_THROW(bad.YResolution(), EConvertError); // the text ends in its NUL
  EXPECT_EQ(good.FindTag("0256"), nullptr);
}

} // namespace
} // namespace lodestar::test
