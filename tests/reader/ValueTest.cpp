#include "ReaderTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace lodestar::test {
namespace {

// One directory at 8 holding one entry at P = 10: its value field is at 18, and data without a
// chosen position goes right after the directory, at 26.
constexpr std::int32_t EntryPos = 10;
constexpr std::int32_t FieldPos = 18;
constexpr std::uint32_t AfterDirectory = 26;

struct TValueCase {
  const char* Name;
  TByteOrder Order;
  std::function<TEntrySpec(TTiffBuilder&)> Entry;
  std::u16string Value;
  std::int32_t ValuePos = FieldPos;
  // Changes to the file after the directory is written (extra data, truncation).
  std::function<void(TTiffBuilder&)> Then = {};
};

constexpr TByteOrder LE = TByteOrder::Little;
constexpr TByteOrder BE = TByteOrder::Big;

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> result;
  for (int v : values)
    result.push_back(static_cast<std::uint8_t>(v));
  return result;
}

std::u16string U16(const char16_t* text, std::size_t size) {
  return std::u16string(text, size);
}

class ValueText : public ReaderTest, public ::testing::WithParamInterface<TValueCase> {};

TEST_P(ValueText, FollowsTheTypeRule) {
  const TValueCase& c = GetParam();
  TTiffBuilder b(c.Order);
  b.Header(8);
  b.Directory(8, {c.Entry(b)});
  if (c.Then)
    c.Then(b);
  auto file = Load(b);
  const TTag& tag = OnlyTag(*file);
  EXPECT_EQ(tag.Value(), c.Value);
  EXPECT_EQ(tag.ValuePos(), c.ValuePos);
  EXPECT_EQ(tag.EntryPos(), EntryPos);
  EXPECT_TRUE(FMessages.empty());
}

std::string Name(const ::testing::TestParamInfo<TValueCase>& info) {
  return info.param.Name;
}

// The value field holds the text when it fits; TIFF counts the terminating NUL, and the text
// keeps it, like every NUL inside.
INSTANTIATE_TEST_SUITE_P(
    Ascii, ValueText,
    ::testing::Values(
        TValueCase{"InFieldWithNul", LE,
                   [](auto& b) { return b.AsciiEntry(305, std::string("abc\0", 4)); },
                   U16(u"abc\0", 4)},
        TValueCase{"InFieldBigEndian", BE,
                   [](auto& b) { return b.AsciiEntry(305, std::string("abc\0", 4)); },
                   U16(u"abc\0", 4)},
        TValueCase{"TwelveAtOffset200", LE,
                   [](auto& b) { return b.AsciiEntry(305, std::string("hello world\0", 12), 200); },
                   U16(u"hello world\0", 12), 200},
        TValueCase{"TwelveAtOffset200BigEndian", BE,
                   [](auto& b) { return b.AsciiEntry(305, std::string("hello world\0", 12), 200); },
                   U16(u"hello world\0", 12), 200},
        TValueCase{"NulsInsideStay", LE,
                   [](auto& b) { return b.AsciiEntry(305, std::string("a\0b\0\0c\0", 7)); },
                   U16(u"a\0b\0\0c\0", 7), AfterDirectory},
        TValueCase{"CountZeroIsEmpty", LE, [](auto& b) { return b.RawEntry(305, Ascii, 0, 0); },
                   u""},
        TValueCase{"CountShorterThanField", LE,
                   [](auto& b) {
                     auto e = b.AsciiEntry(305, "xy");
                     e.Field = Bytes({'x', 'y', 'z', 'w'});
                     return e;
                   },
                   u"xy"},
        TValueCase{"HighBytesThroughTheCodePage", LE,
                   [](auto& b) { return b.AsciiEntry(305, std::string("\x80\x81\xE9\xFF\0", 5)); },
                   U16(u"\u20AC\u0081\u00E9\u00FF\0", 5), AfterDirectory},
        TValueCase{"LongerThan255ReadWhole", LE,
                   [](auto& b) { return b.AsciiEntry(305, std::string(300, 'q') + '\0'); },
                   std::u16string(300, u'q') + u'\0', AfterDirectory},
        TValueCase{"BytesPastTheEndContributeNothing", LE,
                   [](auto& b) { return b.RawEntry(305, Ascii, 10, 40); }, u"abc", 40,
                   [](auto& b) { b.Raw(40, std::string("abc")); }},
        TValueCase{"OffsetPastTheEndIsEmpty", LE,
                   [](auto& b) { return b.RawEntry(305, Ascii, 10, 5000); }, u"", 5000},
        TValueCase{"OffsetOfTwoGigabytesIsEmpty", LE,
                   [](auto& b) { return b.RawEntry(305, Ascii, 10, 0x80000000u); }, u"",
                   static_cast<std::int32_t>(0x80000000u)},
        TValueCase{"HugeCountReadsToTheEnd", LE,
                   [](auto& b) { return b.RawEntry(305, Ascii, 0x7FFFFFFFu, 26); }, u"tail", 26,
                   [](auto& b) { b.Raw(26, std::string("tail")); }}),
    Name);

// Bytes below 32 are skipped, everything else is one character of the code page.
INSTANTIATE_TEST_SUITE_P(
    Byte, ValueText,
    ::testing::Values(
        TValueCase{"SixAtOffsetSkipsControlBytes", LE,
                   [](auto& b) {
                     return b.BytesEntry(700, Byte, Bytes({'A', 0x00, 'B', 0x0A, 'C', 0x20}));
                   },
                   u"ABC ", FieldPos},
        TValueCase{"SixAtOffsetBigEndian", BE,
                   [](auto& b) {
                     return b.BytesEntry(700, Byte, Bytes({'A', 0x00, 'B', 0x0A, 'C', 0x20}));
                   },
                   u"ABC "},
        TValueCase{"FourInField", LE,
                   [](auto& b) {
                     return b.BytesEntry(700, Byte, Bytes({'A', 0x01, 'B', 'C'}));
                   },
                   u"ABC"},
        TValueCase{"TwoInFieldReadOnlyTwo", BE,
                   [](auto& b) {
                     auto e = b.BytesEntry(700, Byte, Bytes({'A', 'B'}));
                     e.Field = Bytes({'A', 'B', 'C', 'D'});
                     return e;
                   },
                   u"AB"},
        TValueCase{"CountZeroIsEmpty", LE,
                   [](auto& b) { return b.RawEntry(700, Byte, 0, 0x41414141); }, u""},
        TValueCase{"HighBytesAreKept", LE,
                   [](auto& b) {
                     return b.BytesEntry(700, Byte, Bytes({0x1F, 0x7F, 0x80, 0xFF}));
                   },
                   u"\u007F\u20AC\u00FF"},
        TValueCase{"BytesPastTheEndContributeNothing", LE,
                   [](auto& b) { return b.RawEntry(700, Byte, 10, 40); }, u"xyz", FieldPos,
                   [](auto& b) { b.Raw(40, std::string("x\ty\nz")); }},
        TValueCase{"HugeCountReadsToTheEnd", LE,
                   [](auto& b) { return b.RawEntry(700, Byte, 0x7FFFFFFFu, 26); }, u"tail",
                   FieldPos, [](auto& b) { b.Raw(26, std::string("tail")); }},
        TValueCase{"OffsetOfTwoGigabytesIsEmpty", LE,
                   [](auto& b) { return b.RawEntry(700, Byte, 10, 0x80000000u); }, u""},
        // Type 257 wraps to the code of "Byte".
        TValueCase{"Type257IsByte", LE,
                   [](auto& b) {
                     return b.BytesEntry(700, 257, Bytes({'O', 'K'}));
                   },
                   u"OK"}),
    Name);

// The first 16-bit number of the value field, unsigned, whatever the count.
INSTANTIATE_TEST_SUITE_P(
    Short, ValueText,
    ::testing::Values(
        TValueCase{"BigEndian256", BE,
                   [](auto& b) {
                     auto e = b.ShortEntry(256, 0);
                     e.Field = Bytes({0x01, 0x00, 0x00, 0x00});
                     return e;
                   },
                   u"256"},
        TValueCase{"LittleEndian256", LE,
                   [](auto& b) {
                     auto e = b.ShortEntry(256, 0);
                     e.Field = Bytes({0x00, 0x01, 0x00, 0x00});
                     return e;
                   },
                   u"256"},
        TValueCase{"CountTwoShowsTheFirst", BE,
                   [](auto& b) { return b.RawEntry(297, Short, 2, 0x00030007); }, u"3"},
        TValueCase{"CountZeroShowsTheField", LE, [](auto& b) { return b.ShortEntry(256, 9, 0); },
                   u"9"},
        TValueCase{"CountThreeLittleEndianShowsLowHalfOfOffset", LE,
                   [](auto& b) { return b.RawEntry(258, Short, 3, 0x00010002); }, u"2"},
        TValueCase{"CountThreeBigEndianShowsHighHalfOfOffset", BE,
                   [](auto& b) { return b.RawEntry(258, Short, 3, 0x00010002); }, u"1"},
        TValueCase{"Max", LE, [](auto& b) { return b.ShortEntry(256, 65535); }, u"65535"},
        TValueCase{"SShortMinusOneIsUnsigned", LE,
                   [](auto& b) { return b.ShortEntry(256, 0xFFFF, 1, SShort); }, u"65535"},
        TValueCase{"SShortBigEndian", BE,
                   [](auto& b) { return b.ShortEntry(256, 0x8000, 1, SShort); }, u"32768"}),
    Name);

// Decimal when the count is 1, else empty; a "Double" shows the offset of its eight bytes.
INSTANTIATE_TEST_SUITE_P(
    Long, ValueText,
    ::testing::Values(
        TValueCase{"CountOne70000", LE, [](auto& b) { return b.LongEntry(273, 70000); }, u"70000"},
        TValueCase{"CountOne70000BigEndian", BE, [](auto& b) { return b.LongEntry(273, 70000); },
                   u"70000"},
        TValueCase{"CountTwoIsEmpty", LE, [](auto& b) { return b.LongEntry(273, 70000, 2); }, u""},
        TValueCase{"CountZeroIsEmpty", LE, [](auto& b) { return b.LongEntry(273, 5, 0); }, u""},
        TValueCase{"MaxIsUnsigned", BE, [](auto& b) { return b.LongEntry(273, 0xFFFFFFFFu); },
                   u"4294967295"},
        TValueCase{"SLongMinusOneIsUnsigned", LE,
                   [](auto& b) { return b.LongEntry(273, 0xFFFFFFFFu, 1, SLong); }, u"4294967295"},
        TValueCase{"SLongCountTwoIsEmpty", LE,
                   [](auto& b) { return b.LongEntry(273, 1, 2, SLong); }, u""},
        TValueCase{"DoubleShowsItsOffset", BE,
                   [](auto& b) { return b.LongEntry(273, 26, 1, Double); }, u"26"},
        TValueCase{"DoubleCountTwoIsEmpty", LE,
                   [](auto& b) { return b.LongEntry(273, 26, 2, Double); }, u""}),
    Name);

TEntrySpec Ratio(TTiffBuilder& b, std::uint32_t num, std::uint32_t den,
                 std::uint16_t type = Rational) {
  return b.RationalEntry(282, num, den, {}, type);
}

// Numerator and denominator as signed 32-bit, divided and rounded half to even.
INSTANTIATE_TEST_SUITE_P(
    Rational, ValueText,
    ::testing::Values(
        TValueCase{"R300Over1", LE, [](auto& b) { return Ratio(b, 300, 1); }, u"300"},
        TValueCase{"R300Over1BigEndian", BE, [](auto& b) { return Ratio(b, 300, 1); }, u"300"},
        TValueCase{"R1Over2IsZero", LE, [](auto& b) { return Ratio(b, 1, 2); }, u"0"},
        TValueCase{"R3Over2IsTwo", LE, [](auto& b) { return Ratio(b, 3, 2); }, u"2"},
        TValueCase{"R5Over2IsTwo", BE, [](auto& b) { return Ratio(b, 5, 2); }, u"2"},
        TValueCase{"R7Over2IsFour", LE, [](auto& b) { return Ratio(b, 7, 2); }, u"4"},
        TValueCase{"R2Over3IsOne", LE, [](auto& b) { return Ratio(b, 2, 3); }, u"1"},
        TValueCase{"R1Over3IsZero", LE, [](auto& b) { return Ratio(b, 1, 3); }, u"0"},
        TValueCase{"DenominatorZeroLeavesBlank", LE, [](auto& b) { return Ratio(b, 1, 0); }, u" "},
        TValueCase{"ZeroOverZeroLeavesBlank", BE, [](auto& b) { return Ratio(b, 0, 0); }, u" "},
        TValueCase{"AllBitsSetIsMinusOne", LE, [](auto& b) { return Ratio(b, 0xFFFFFFFFu, 1); },
                   u"-1"},
        TValueCase{"MinusThreeOverTwoIsMinusTwo", BE,
                   [](auto& b) { return Ratio(b, static_cast<std::uint32_t>(-3), 2); }, u"-2"},
        TValueCase{"MinusFiveOverTwoIsMinusTwo", LE,
                   [](auto& b) { return Ratio(b, static_cast<std::uint32_t>(-5), 2); }, u"-2"},
        TValueCase{"NegativeDenominator", LE,
                   [](auto& b) { return Ratio(b, 10, static_cast<std::uint32_t>(-4)); }, u"-2"},
        TValueCase{"BothMinusOne", LE, [](auto& b) { return Ratio(b, 0xFFFFFFFFu, 0xFFFFFFFFu); },
                   u"1"},
        TValueCase{"MostNegativeNumerator", LE, [](auto& b) { return Ratio(b, 0x80000000u, 1); },
                   u"-2147483648"},
        TValueCase{"LargestQuotient", BE, [](auto& b) { return Ratio(b, 0x7FFFFFFFu, 1); },
                   u"2147483647"},
        TValueCase{"HalfOfLargeOddIsEven", LE, [](auto& b) { return Ratio(b, 2147483645u, 2); },
                   u"1073741822"},
        TValueCase{"OnlyTheFirstOfThree", LE,
                   [](auto& b) {
                     auto e = Ratio(b, 72, 1);
                     e.Count = 3;
                     auto more = Bytes({9, 0, 0, 0, 1, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0});
                     e.Data.insert(e.Data.end(), more.begin(), more.end());
                     return e;
                   },
                   u"72"},
        TValueCase{"OffsetPastTheEndLeavesBlank", LE,
                   [](auto& b) { return b.RawEntry(282, Rational, 1, 5000); }, u" "},
        TValueCase{"DenominatorPastTheEndLeavesBlank", LE,
                   [](auto& b) { return b.RawEntry(282, Rational, 1, 26); }, u" ", FieldPos,
                   [](auto& b) { b.Truncate(30); }},
        TValueCase{"OffsetOfTwoGigabytesLeavesBlank", BE,
                   [](auto& b) { return b.RawEntry(282, Rational, 1, 0x80000000u); }, u" "},
        TValueCase{"FloatFollowsTheRationalRule", LE,
                   [](auto& b) { return Ratio(b, 300, 1, Float); }, u"300"},
        TValueCase{"FloatHalfToEven", BE, [](auto& b) { return Ratio(b, 5, 2, Float); }, u"2"}),
    Name);

INSTANTIATE_TEST_SUITE_P(
    Question, ValueText,
    ::testing::Values(
        TValueCase{"SByte", LE, [](auto& b) { return b.BytesEntry(700, SByte, Bytes({'A'})); },
                   u"?"},
        TValueCase{"Undefined", LE,
                   [](auto& b) {
                     return b.BytesEntry(37500, Undefined, Bytes({'A', 'B'}));
                   },
                   u"?"},
        TValueCase{"SRational", BE,
                   [](auto& b) { return b.RationalEntry(37377, 1, 2, {}, SRational); }, u"?"},
        TValueCase{"Type13", LE, [](auto& b) { return b.RawEntry(330, 13, 1, 8); }, u"?"},
        TValueCase{"Type0", LE, [](auto& b) { return b.RawEntry(330, 0, 1, 8); }, u"?"},
        TValueCase{"Type256", BE, [](auto& b) { return b.RawEntry(330, 256, 1, 8); }, u"?"},
        TValueCase{"Type65535", LE, [](auto& b) { return b.RawEntry(330, 65535, 1, 8); }, u"?"}),
    Name);

struct TTypeCase {
  std::uint16_t TiffType;
  std::uint8_t FieldType;
  const char* TypeName;
};

class TypeName : public ReaderTest, public ::testing::WithParamInterface<TTypeCase> {};

TEST_P(TypeName, IsStoredAsCodeMinusOne) {
  TTiffBuilder b;
  b.Pages({{b.RawEntry(300, GetParam().TiffType, 0, 0)}});
  auto file = Load(b);
  const TTag& tag = OnlyTag(*file);
  EXPECT_EQ(tag.FieldType(), GetParam().FieldType);
  EXPECT_STREQ(tag.TypeName(), GetParam().TypeName);
}

INSTANTIATE_TEST_SUITE_P(
    AllCodes, TypeName,
    ::testing::Values(TTypeCase{1, 0, "Byte"}, TTypeCase{2, 1, "Ascii"}, TTypeCase{3, 2, "Short"},
                      TTypeCase{4, 3, "Long"}, TTypeCase{5, 4, "Rational"},
                      TTypeCase{6, 5, "sByte"}, TTypeCase{7, 6, "Undefined"},
                      TTypeCase{8, 7, "sShort"}, TTypeCase{9, 8, "sLong"},
                      TTypeCase{10, 9, "sRational"}, TTypeCase{11, 10, "Float"},
                      TTypeCase{12, 11, "Double"}, TTypeCase{13, 12, "Unknown"},
                      TTypeCase{0, 255, "Unknown"}, TTypeCase{257, 0, "Byte"},
                      TTypeCase{258, 1, "Ascii"}, TTypeCase{200, 199, "Unknown"}),
    [](const auto& info) { return "Type" + std::to_string(info.param.TiffType); });

using EntryTest = ReaderTest;

TEST_F(EntryTest, TagNumberIsDecimalWithoutLeadingZerosAndCountIsSigned) {
  TTiffBuilder b(BE);
  b.Pages({{b.RawEntry(0, Long, 2, 0), b.RawEntry(7, Long, 0x80000000u, 0),
            b.RawEntry(65535, Long, 0xFFFFFFFFu, 0)}});
  auto file = Load(b);
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  ASSERT_EQ(tags.Count(), 3);
  EXPECT_EQ(tags.GetTag(0)->TagNumber(), "0");
  EXPECT_EQ(tags.GetTag(1)->TagNumber(), "7");
  EXPECT_EQ(tags.GetTag(2)->TagNumber(), "65535");
  EXPECT_EQ(tags.GetTag(1)->Count(), static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(tags.GetTag(2)->Count(), -1);
  EXPECT_EQ(tags.GetTag(0)->EntryPos(), file->Pages().GetPage(0)->DirectoryOffset() + 2);
  EXPECT_EQ(tags.GetTag(2)->EntryPos(), file->Pages().GetPage(0)->DirectoryOffset() + 2 + 24);
  EXPECT_EQ(tags.GetTag(2)->ValuePos(), tags.GetTag(2)->EntryPos() + 8);
}

TEST_F(EntryTest, BadEntryDoesNotSpoilTheNext) {
  TTiffBuilder b;
  b.Pages({{b.RawEntry(282, Rational, 1, 0x7FFFFFF0u), b.ShortEntry(256, 77),
            b.RationalEntry(283, 1, 0), b.AsciiEntry(305, std::string("ok\0", 3))}});
  auto file = Load(b);
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  ASSERT_EQ(tags.Count(), 4);
  EXPECT_EQ(tags.GetTag(0)->Value(), u" ");
  EXPECT_EQ(tags.GetTag(1)->Value(), u"77");
  EXPECT_EQ(tags.GetTag(2)->Value(), u" ");
  EXPECT_EQ(tags.GetTag(3)->Value(), U16(u"ok\0", 3));
  EXPECT_TRUE(FMessages.empty());
}

// The entry's value field lies past the end: "Long", "sLong" and "Double" with count 1 show 0,
// the others keep the blank they were created with.
TEST_F(EntryTest, UnreadableValueFieldGivesZeroForLongTypesOnly) {
  struct TCase {
    std::uint16_t Type;
    std::uint32_t Count;
    std::u16string Value;
  };
  const std::vector<TCase> cases = {{Long, 1, u"0"}, {SLong, 1, u"0"},    {Double, 1, u"0"},
                                    {Long, 2, u""},  {Short, 1, u" "},    {Rational, 1, u" "},
                                    {Ascii, 4, u""}, {Undefined, 1, u"?"}};
  for (const TCase& c : cases) {
    FMessages.clear();
    TTiffBuilder b;
    b.Header(8);
    b.Directory(8, {b.RawEntry(273, c.Type, c.Count, 0x01020304)});
    b.Truncate(18); // the value field is [18, 22)
    auto file = Load(b, "t" + std::to_string(c.Type) + "_" + std::to_string(c.Count) + ".tif");
    const TTag& tag = OnlyTag(*file);
    EXPECT_EQ(tag.Value(), c.Value) << "type " << c.Type << " count " << c.Count;
    EXPECT_EQ(tag.Count(), static_cast<std::int32_t>(c.Count));
    EXPECT_EQ(FMessages.size(), 1u); // the unreadable next offset
  }
}

TEST_F(EntryTest, AsciiOfExactlyTheLimitIsWholeAndNotCut) {
  TTiffBuilder b;
  std::string text(TTag::MaxAsciiBytes, 'a');
  text.back() = '\0';
  b.Pages({{b.AsciiEntry(270, text)}});
  auto file = Load(b);
  const TTag& tag = OnlyTag(*file);
  EXPECT_EQ(tag.Value().size(), static_cast<std::size_t>(TTag::MaxAsciiBytes));
  EXPECT_EQ(tag.Value().back(), u'\0');
  EXPECT_FALSE(tag.ValueCut());
}

TEST_F(EntryTest, AsciiLongerThanTheLimitIsCutAndMarked) {
  TTiffBuilder b;
  std::string text(TTag::MaxAsciiBytes + 10, 'a');
  text[TTag::MaxAsciiBytes - 1] = 'z';
  b.Pages({{b.AsciiEntry(270, text)}});
  auto file = Load(b);
  const TTag& tag = OnlyTag(*file);
  ASSERT_EQ(tag.Value().size(), static_cast<std::size_t>(TTag::MaxAsciiBytes));
  EXPECT_EQ(tag.Value().back(), u'z');
  EXPECT_TRUE(tag.ValueCut());
  EXPECT_EQ(tag.Count(), TTag::MaxAsciiBytes + 10);
}

TEST_F(EntryTest, ShortAsciiIsNotMarkedCut) {
  TTiffBuilder b;
  b.Pages({{b.AsciiEntry(270, std::string("short text\0", 11))}});
  auto file = Load(b);
  EXPECT_FALSE(OnlyTag(*file).ValueCut());
}

TEST_F(EntryTest, ByteTextIsCutAfterTheByteLimit) {
  TTiffBuilder b;
  // Every other byte is a control byte, so the text holds half of the bytes read.
  std::vector<std::uint8_t> bytes(TTag::MaxByteBytes + 1000);
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = (i % 2 == 0) ? 'x' : 0x01;
  b.Pages({{b.BytesEntry(700, Byte, bytes)}});
  auto file = Load(b);
  EXPECT_EQ(OnlyTag(*file).Value(), std::u16string(TTag::MaxByteBytes / 2, u'x'));
}

TEST_F(EntryTest, EntriesSharingTheirBytesCannotCopyMoreThanTwiceTheFile) {
  TTiffBuilder b;
  // 1,000 Ascii entries that all name the same 8 KiB of text with a count of 1 MiB: without a
  // bound the tags would hold 8 MB copied out of a 20 KB file.
  const std::uint32_t textPos = 12100;
  std::vector<TEntrySpec> entries;
  for (int i = 0; i < 1000; ++i)
    entries.push_back(b.RawEntry(270, Ascii, TTag::MaxAsciiBytes, textPos));
  b.Header(8);
  b.Directory(8, entries);
  b.Raw(textPos, std::string(8192, 't'));
  auto file = Load(b);
  ASSERT_EQ(file->PageCount(), 1);
  std::size_t copied = 0;
  for (const TTag& tag : file->Pages().GetPage(0)->Tags())
    copied += tag.Value().size();
  EXPECT_LE(copied, 2 * b.Size() + 4096);
  EXPECT_EQ(file->Pages().GetPage(0)->Tags().GetTag(0)->Value().size(), 8192u);
  EXPECT_TRUE(file->Pages().GetPage(0)->Tags().GetTag(999)->ValueCut());
}

} // namespace
} // namespace lodestar::test
