#include "ReaderTestSupport.h"

#include <string>

namespace lodestar::test {
namespace {

using LookupTest = ReaderTest;

// The conversion error of a look-up, with the text it carries.
template <typename TCall> std::string ConversionError(TCall call) {
  try {
    call();
  } catch (const EConvertError& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(LookupTest, ReadsSizeAndResolutionInEitherByteOrder) {
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    b.Pages({{b.ShortEntry(256, 1728), b.LongEntry(257, 2200), b.RationalEntry(282, 72, 1),
              b.RationalEntry(283, 600, 2)}});
    auto file = Load(b);
    const TTiffPage& page = *file->Pages().GetPage(0);
    EXPECT_EQ(page.ImageWidth(), 1728);
    EXPECT_EQ(page.ImageLength(), 2200);
    EXPECT_EQ(page.XResolution(), 72);
    EXPECT_EQ(page.YResolution(), 300);
  }
}

TEST_F(LookupTest, MissingTagsGiveOne) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(258, 8)}, {}});
  auto file = Load(b);
  for (int i = 0; i < 2; ++i) {
    const TTiffPage& page = *file->Pages().GetPage(i);
    EXPECT_EQ(page.ImageWidth(), 1);
    EXPECT_EQ(page.ImageLength(), 1);
    EXPECT_EQ(page.XResolution(), 1);
    EXPECT_EQ(page.YResolution(), 1);
  }
}

TEST_F(LookupTest, FirstOfRepeatedTagsWins) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 10), b.ShortEntry(256, 20)}});
  auto file = Load(b);
  EXPECT_EQ(file->Pages().GetPage(0)->ImageWidth(), 10);
  EXPECT_EQ(file->Pages().GetPage(0)->FindTag("256"), file->Pages().GetPage(0)->Tags().GetTag(0));
  EXPECT_EQ(file->Pages().GetPage(0)->FindTag("257"), nullptr);
  EXPECT_EQ(file->Pages().GetPage(0)->FindTag("0256"), nullptr);
}

TEST_F(LookupTest, ValueThatIsNoIntegerRaisesConversionError) {
  TTiffBuilder b;
  b.Pages({{b.BytesEntry(256, Undefined, {1, 2}), b.RationalEntry(282, 1, 0),
            b.LongEntry(257, 5, 2), b.AsciiEntry(283, "12")}});
  auto file = Load(b);
  const TTiffPage& page = *file->Pages().GetPage(0);
  EXPECT_EQ(ConversionError([&] { page.ImageWidth(); }), "'?' is not a valid integer value");
  EXPECT_EQ(ConversionError([&] { page.XResolution(); }), "' ' is not a valid integer value");
  EXPECT_EQ(ConversionError([&] { page.ImageLength(); }), "'' is not a valid integer value");
  // An "Ascii" value of digits converts like any other text.
  EXPECT_EQ(page.YResolution(), 12);
}

TEST_F(LookupTest, AsciiWithItsNulIsNoInteger) {
  TTiffBuilder b;
  b.Pages({{b.AsciiEntry(256, std::string("640\0", 4))}});
  auto file = Load(b);
  EXPECT_THROW(file->Pages().GetPage(0)->ImageWidth(), EConvertError);
}

TEST_F(LookupTest, UnsignedValuesBeyondTheSignedRangeRaise) {
  TTiffBuilder b;
  b.Pages({{b.LongEntry(256, 0x80000000u), b.LongEntry(257, 0x7FFFFFFFu)}});
  auto file = Load(b);
  EXPECT_EQ(ConversionError([&] { file->Pages().GetPage(0)->ImageWidth(); }),
            "'2147483648' is not a valid integer value");
  EXPECT_EQ(file->Pages().GetPage(0)->ImageLength(), 2147483647);
}

TEST_F(LookupTest, DescriptionNamesTheTagNumber) {
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 1), b.ShortEntry(41991, 0), b.ShortEntry(9999, 0)}});
  auto file = Load(b);
  const TTags& tags = file->Pages().GetPage(0)->Tags();
  EXPECT_EQ(tags.GetTag(0)->Description(), "ImageWidth");
  EXPECT_EQ(tags.GetTag(1)->Description(), "Gain Control        ");
  EXPECT_EQ(tags.GetTag(2)->Description(), "Unknown Tag      ");
}

TEST_F(LookupTest, DescriptionOfBlankTagRaisesConversionError) {
  TTiffBuilder b;
  b.Header(8);
  b.Directory(8, {b.ShortEntry(256, 1), b.ShortEntry(257, 1)});
  b.Truncate(20); // the second entry starts at 22, past the end
  auto file = Load(b);
  const TTag* blank = file->Pages().GetPage(0)->Tags().GetTag(1);
  ASSERT_NE(blank, nullptr);
  ASSERT_EQ(blank->TagNumber(), "");
  EXPECT_EQ(ConversionError([&] { (void)blank->Description(); }),
            "'' is not a valid integer value");
}

struct TIntCase {
  const char* Text;
  bool Valid;
  int Value;
};

class StrToIntCase : public ::testing::TestWithParam<TIntCase> {};

TEST_P(StrToIntCase, AcceptsOnlySignedDecimal32Bit) {
  const TIntCase& c = GetParam();
  if (c.Valid) {
    EXPECT_EQ(StrToInt(c.Text), c.Value);
  } else {
    EXPECT_EQ(ConversionError([&] { StrToInt(c.Text); }),
              std::string("'") + c.Text + "' is not a valid integer value");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StrToIntCase,
    ::testing::Values(TIntCase{"0", true, 0}, TIntCase{"72", true, 72}, TIntCase{"-5", true, -5},
                      TIntCase{"+7", true, 7}, TIntCase{"2147483647", true, 2147483647},
                      TIntCase{"-2147483648", true, -2147483647 - 1},
                      TIntCase{"2147483648", false, 0}, TIntCase{"-2147483649", false, 0},
                      TIntCase{"99999999999999999999", false, 0}, TIntCase{"", false, 0},
                      TIntCase{" ", false, 0}, TIntCase{"?", false, 0}, TIntCase{"-", false, 0},
                      TIntCase{"1 ", false, 0}, TIntCase{" 1", false, 0}, TIntCase{"1.0", false, 0},
                      TIntCase{"0x10", false, 0}, TIntCase{"12a", false, 0}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

} // namespace
} // namespace lodestar::test
