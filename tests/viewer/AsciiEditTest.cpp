// The ascii editor's engine on files made by the test builder: what a listing row lets it write,
// and the whole file after every write and every refusal.
#include "TAsciiEdit.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <tuple>
#include <unistd.h>
#include <variant>

namespace lodestar::test {
namespace {

const std::string Nul(1, '\0');

class AsciiEditTest : public ::testing::Test {
protected:
  // One page: ImageWidth (row 1, a Short), "abc" in the value field of entry 2 (value at 30),
  // the 17 bytes of entry 3 at 206 (0xCE), and a text of count 1 in entry 4 (value at 54).
  void SetUp() override {
    TTiffBuilder b;
    b.Pages({{b.ShortEntry(256, 1728), b.AsciiEntry(305, "abc" + Nul),
              b.AsciiEntry(270, "Sixteen letters." + Nul, 206), b.AsciiEntry(315, Nul)}});
    Path = b.Save(Dir.File("a.tif"));
    Original = FileBytes(Path);
  }

  // The tag row "Nr" number of the file as now on disk, in base.
  TReportRow ListedRow(int number, TDisplayBase base = TDisplayBase::Dec) {
    TTiffFile file;
    file.SetFileName(Path);
    return BuildReportRows(file, 1, base).Rows.at(4 + number);
  }
  TAsciiTarget Target(int number, TDisplayBase base = TDisplayBase::Dec) {
    auto target = AsciiTargetOfRow(ListedRow(number, base), Path, base);
    EXPECT_TRUE(std::holds_alternative<TAsciiTarget>(target));
    return std::get<TAsciiTarget>(target);
  }
  // The original file with bytes put at position.
  std::string With(std::size_t position, const std::string& bytes) const {
    std::string expected = Original;
    expected.replace(position, bytes.size(), bytes);
    return expected;
  }

  TTempDir Dir;
  std::string Path, Original;
};

// The text padded over the value, its NUL kept; in hex the cells name the same place; as many
// characters as the count: only count - 1 are written; count 1, the NUL alone: nothing to write.
TEST_F(AsciiEditTest, WritesThePaddedTextOverTheValueAndKeepsItsNul) {
  const TAsciiTarget abc = Target(2);
  EXPECT_EQ(abc.Position, 22 + 8); // in the entry's value field
  const TEditResult result = WriteAsciiValue(abc, TextToWrite(u"x", abc.LengthToWrite()));
  EXPECT_EQ(result.Outcome, TEditOutcome::Written);
  EXPECT_EQ(result.Written, "x  ");
  EXPECT_TRUE(result.Reload());
  EXPECT_EQ(ListedRow(2).SubItems[3] + "|" + ListedRow(2).SubItems[4] + "|" +
                ListedRow(2).SubItems[5],
            "x  " + Nul + "|Ascii|4");
  const TAsciiTarget hex = Target(3, TDisplayBase::Hex);
  EXPECT_EQ(hex.Position, 206);
  EXPECT_EQ(WriteAsciiValue(hex, TextToWrite(u"Seventeen chars!!", hex.LengthToWrite())).Outcome,
            TEditOutcome::Written);
  const TAsciiTarget nul = Target(4);
  EXPECT_EQ(WriteAsciiValue(nul, TextToWrite(u"x", nul.LengthToWrite())).Outcome,
            TEditOutcome::Written);
  EXPECT_EQ(FileBytes(Path), With(30, "x  ").replace(206, 16, "Seventeen chars!"));
}

// No editor for a row without the file it was built from, nor where the value was not read whole.
TEST_F(AsciiEditTest, RowsThatDoNotOpenTheEditor) {
  const auto refused = [this](const std::string& path) {
    const auto target = AsciiTargetOfRow(ListedRow(1), path, TDisplayBase::Dec);
    return std::holds_alternative<TEditResult>(target) ? std::get<TEditResult>(target).Outcome
                                                       : TEditOutcome::Written;
  };
  EXPECT_EQ(refused(""), TEditOutcome::NotATagRow);
  EXPECT_EQ(refused(Path), TEditOutcome::NotAscii);
  TTiffBuilder b;
  b.Pages({{b.AsciiEntry(305, "long enough text" + Nul, 100)}});
  Path = b.Truncate(108).Save(Dir.File("cut.tif"));
  EXPECT_EQ(refused(Path), TEditOutcome::NotReadWhole);
}

TEST_F(AsciiEditTest, RefusalsAndFailuresLeaveEveryByte) {
  const TAsciiTarget text = Target(3);
  const std::string bytes = TextToWrite(u"new", text.LengthToWrite());
  auto expect = [&](const TEditResult& result, TEditOutcome outcome, const char* message,
                    const std::string& file) {
    EXPECT_EQ(result.Outcome, outcome);
    EXPECT_EQ(result.Message, message);
    EXPECT_EQ(result.Written, "");
    EXPECT_EQ(FileBytes(Path), file);
  };
  // Changed since listed, and cut before the value's end.
  for (const auto& [file, outcome, message] :
       {std::tuple(With(210, "X"), TEditOutcome::FileChanged, FileChangedText),
        std::tuple(Original.substr(0, 215), TEditOutcome::OutsideFile, OutsideFileText)}) {
    std::ofstream(Path, std::ios::binary) << file;
    expect(WriteAsciiValue(text, bytes), outcome, message, file);
  }
  std::ofstream(Path, std::ios::binary) << Original;
  const int other = ::open(Path.c_str(), O_RDONLY); // held by another program
  ASSERT_EQ(::flock(other, LOCK_EX), 0);
  expect(WriteAsciiValue(text, bytes), TEditOutcome::BeingEdited, BeingEditedText, Original);
  ::close(other);
  auto shortWrite = [](int, const void*, std::size_t n, off_t) { return ssize_t(n) - 1; };
  auto failedWrite = [](int, const void*, std::size_t, off_t) -> ssize_t {
    errno = EIO;
    return -1;
  };
  expect(WriteAsciiValue(text, bytes, shortWrite), TEditOutcome::SavingFailed, SavingFailedText,
         Original);
  EXPECT_EQ(WriteAsciiValue(text, bytes, failedWrite).Detail, "Input/output error");
  std::filesystem::remove(Path); // gone: never created
  const TEditResult result = WriteAsciiValue(text, bytes);
  EXPECT_EQ(result.Outcome, TEditOutcome::SavingFailed);
  EXPECT_EQ(result.Detail, "No such file or directory");
  EXPECT_FALSE(std::filesystem::exists(Path));
  EXPECT_FALSE(result.Reload());
}

// Padded and cut to the room; every character of Windows-1252 one byte, those beyond Latin-1 too.
TEST(AsciiEditText, PaddedCutAndInTheCodePage) {
  EXPECT_EQ(TextToWrite(u"abcd", 3) + "|" + TextToWrite(u"abc", -1) + "|" +
                TextToWrite(u"\u20ACb\u00FC", 4),
            "abc||\x80"
            "b\xFC ");
  EXPECT_TRUE(FitsCodePage(u"Caf\u00E9 \u20AC \u0152 \u0081"));
  EXPECT_FALSE(FitsCodePage(u"\u2713") || FitsCodePage(u"a\u0100"));
}

} // namespace
} // namespace lodestar::test
