#include "CodePage.h"
#include "TempDir.h"
#include "TiffDumpListing.h"
#include "cLodestar.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace lodestar::test {
namespace {

std::filesystem::path CorpusDir() {
  return TestDataDir() / "corpus";
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(CorpusDir(), ec))
    if (entry.is_regular_file() && entry.path().extension() != ".md")
      names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string CaseName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
}

std::string FirstToken(const std::string& text) {
  std::istringstream in(text);
  std::string token;
  in >> token;
  return token;
}

std::u16string UpToNul(std::u16string text) {
  return text.substr(0, text.find(u'\0'));
}

struct TLoad {
  std::unique_ptr<TTiffFile> File;
  std::vector<std::string> Messages;
};

// Loads with the reader; only errors of the reader's own kind may leave it.
TLoad LoadWithReader(const std::string& path) {
  TLoad load;
  load.File = std::make_unique<TTiffFile>(
      [&messages = load.Messages](const std::string& m) { messages.push_back(m); });
  load.File->SetFileName(path);
  return load;
}

// How many of tiffdump's directories our walk reads: it stops at a directory whose entry
// table [D, D + 2 + 12 N + 4) overlaps one read before.
std::size_t PagesOurWalkReads(const TDumpListing& dump) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> tables;
  for (const TDumpDirectory& dir : dump.Directories) {
    const std::uint64_t begin = dir.Offset, end = dir.Offset + 2 + 12 * dir.Entries.size() + 4;
    for (auto [b, e] : tables)
      if (begin < e && b < end)
        return tables.size();
    tables.emplace_back(begin, end);
  }
  return tables.size();
}

// The file's bytes, for what tiffdump does not print: the raw numerator and denominator.
struct TRawFile {
  std::vector<unsigned char> Bytes;
  bool Big = false;

  std::optional<std::uint32_t> Long(std::uint64_t pos) const {
    if (pos > Bytes.size() || Bytes.size() - pos < 4)
      return std::nullopt;
    const unsigned char* b = Bytes.data() + pos;
    return Big ? std::uint32_t(b[0]) << 24 | std::uint32_t(b[1]) << 16 | b[2] << 8 | b[3]
               : std::uint32_t(b[3]) << 24 | std::uint32_t(b[2]) << 16 | b[1] << 8 | b[0];
  }
};

TRawFile ReadRaw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  TRawFile raw;
  raw.Bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  raw.Big = raw.Bytes.size() >= 2 && raw.Bytes[0] == 'M';
  return raw;
}

// tiffdump divides the rational as unsigned numbers and prints the quotient with %g; the value
// rule takes both as signed and rounds half to even. They are comparable when both numbers are
// below 2^31; then the quotient must match tiffdump's and our text must be its rounding.
void ExpectRationalAgrees(const TTag& tag, const TDumpEntry& entry, const TRawFile& raw) {
  const std::string first = FirstToken(entry.Values);
  if (entry.Count == 0 || first.empty())
    return; // tiffdump could not read the value
  const auto offset = raw.Long(static_cast<std::uint64_t>(tag.ValuePos()));
  ASSERT_TRUE(offset.has_value());
  const auto num = raw.Long(*offset), den = raw.Long(std::uint64_t(*offset) + 4);
  ASSERT_TRUE(num && den) << "tiffdump read a rational that lies past the end";
  if (*num >= 0x80000000u || *den >= 0x80000000u)
    return;
  if (*den == 0) {
    EXPECT_EQ(first, "Nan");
    EXPECT_EQ(tag.Value(), u" ");
    return;
  }
  const double quotient = double(*num) / double(*den);
  EXPECT_NEAR(quotient, std::stod(first), 1e-5 * quotient) << "tiffdump shows " << first;
  const long long rounded = std::llrint(quotient); // the default rounding is half to even
  EXPECT_EQ(ToUtf8(tag.Value()), std::to_string(rounded))
      << *num << "/" << *den << ", tiffdump " << first;
}

void ExpectValueAgrees(const TTag& tag, const TDumpEntry& entry, const TRawFile& raw) {
  const std::u16string& ours = tag.Value();
  switch (entry.Type) {
  case 3: // SHORT: both show the first number when the values stand in the entry
    if (entry.Count == 1 || entry.Count == 2) {
      EXPECT_EQ(ToUtf8(ours), FirstToken(entry.Values));
    }
    break;
  case 4: // LONG
    if (entry.Count == 1) {
      EXPECT_EQ(ToUtf8(ours), FirstToken(entry.Values));
    }
    break;
  case 5: // RATIONAL
    ExpectRationalAgrees(tag, entry, raw);
    break;
  case 2: { // ASCII, up to its NUL
    if (entry.Count > 0 && entry.Values.empty())
      break; // tiffdump could not read the value
    const std::u16string theirs = UpToNul(DecodeNarrow(UnescapeTiffDumpAscii(entry.Values)));
    if (entry.Count > DumpMaxItems) {
      EXPECT_EQ(UpToNul(ours).substr(0, theirs.size()), theirs);
    } else {
      EXPECT_EQ(UpToNul(ours), theirs);
    }
    break;
  }
  default:
    break; // no value rule of ours renders these comparably
  }
}

class Corpus : public ::testing::TestWithParam<std::string> {
protected:
  TTempDir FScratch;
};

TEST_P(Corpus, AgreesWithTiffDump) {
  const std::optional<std::string> tiffdump = FindTiffDump();
  if (!tiffdump)
    GTEST_SKIP() << "tiffdump is not installed (Debian package libtiff-tools); "
                    "the corpus cannot be compared";
  const std::string path = (CorpusDir() / GetParam()).string();
  const TDumpListing dump = RunTiffDump(*tiffdump, path, FScratch.Path().string());

  if (!dump.HeaderAccepted || dump.BigTiff) {
    // tiffdump refuses the file, or it is a BigTIFF, which lies outside our model: the reader
    // must refuse it with its own error (or load what it can), and never crash.
    try {
      TLoad load = LoadWithReader(path);
      EXPECT_FALSE(dump.BigTiff) << "a BigTIFF file loaded";
    } catch (const EInvalidTiff&) {
    } catch (const ELodestarError& e) {
      EXPECT_FALSE(dump.BigTiff) << e.what();
    }
    return;
  }

  TLoad load;
  ASSERT_NO_THROW(load = LoadWithReader(path));
  const TTiffFile& file = *load.File;
  const TRawFile raw = ReadRaw(path);
  const bool dumpClean = dump.Errors.empty();
  if (dumpClean) {
    EXPECT_TRUE(load.Messages.empty()) << load.Messages.front();
  }

  const std::size_t expected = PagesOurWalkReads(dump);
  const bool dumpCycled = dump.Errors.find("Cycle detected") != std::string::npos;
  if (dumpClean || dumpCycled) {
    ASSERT_EQ(static_cast<std::size_t>(file.PageCount()), expected) << dump.Errors;
  } else {
    // tiffdump gave up on a directory that our walk keeps as a page of its own.
    ASSERT_GE(static_cast<std::size_t>(file.PageCount()), expected) << dump.Errors;
    ASSERT_LE(static_cast<std::size_t>(file.PageCount()), expected + 1) << dump.Errors;
  }

  for (std::size_t p = 0; p < expected; ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    const TDumpDirectory& dir = dump.Directories[p];
    const TTiffPage& page = *file.Pages().GetPage(static_cast<int>(p));
    ASSERT_EQ(static_cast<std::uint64_t>(page.DirectoryOffset()), dir.Offset);
    if (dumpClean)
      ASSERT_EQ(static_cast<std::size_t>(page.Tags().Count()), dir.Entries.size());
    else
      ASSERT_GE(static_cast<std::size_t>(page.Tags().Count()), dir.Entries.size());

    for (std::size_t i = 0; i < dir.Entries.size(); ++i) {
      const TDumpEntry& entry = dir.Entries[i];
      const TTag& tag = *page.Tags().GetTag(static_cast<int>(i));
      SCOPED_TRACE("entry " + std::to_string(i) + ", tag " + std::to_string(entry.Tag));
      EXPECT_EQ(tag.EntryPos(), static_cast<std::int64_t>(dir.Offset + 2 + 12 * i));
      EXPECT_EQ(tag.TagNumber(), std::to_string(entry.Tag));
      EXPECT_EQ(tag.FieldType(), static_cast<std::uint8_t>(entry.Type - 1));
      EXPECT_EQ(tag.Count(), static_cast<std::int32_t>(entry.Count));
      ExpectValueAgrees(tag, entry, raw);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(CorpusFiles()), CaseName);

// Files whose behaviour is fixed whether or not tiffdump is at hand.
class CorpusFile : public ::testing::Test {
protected:
  static std::string Path(const char* name) { return (CorpusDir() / name).string(); }
};

TEST_F(CorpusFile, SingleFrameLoopIsOnePage) {
  TLoad load = LoadWithReader(Path("Tests__images__multipage_single_frame_loop.tiff"));
  EXPECT_EQ(load.File->PageCount(), 1);
  EXPECT_TRUE(load.Messages.empty());
}

TEST_F(CorpusFile, MultipleFrameLoopIsTwoPages) {
  TLoad load = LoadWithReader(Path("Tests__images__multipage_multiple_frame_loop.tiff"));
  ASSERT_EQ(load.File->PageCount(), 2);
  EXPECT_EQ(load.File->Pages().GetPage(0)->DirectoryOffset(), 28);
  EXPECT_EQ(load.File->Pages().GetPage(1)->DirectoryOffset(), 284);
  EXPECT_TRUE(load.Messages.empty());
}

TEST_F(CorpusFile, BigTiffIsNotAValidTiffFile) {
  TTiffFile file;
  EXPECT_THROW(file.SetFileName(Path("Tests__images__hopper_bigtiff.tif")), EInvalidTiff);
  EXPECT_EQ(file.ByteOrder(), 0);
}

TEST_F(CorpusFile, PanasonicRawWithOwnMagicIsNotAValidTiffFile) {
  TTiffFile file;
  EXPECT_THROW(file.SetFileName(Path("t__images__Panasonic.rw2")), EInvalidTiff);
}

TEST_F(CorpusFile, CorpusIsPresent) {
  // A missing data directory would otherwise leave the comparison with no cases at all.
  EXPECT_GE(CorpusFiles().size(), 100u);
}

TEST(TiffDumpParsing, ReadsDirectoriesEntriesAndUnknownNumbers) {
  const TDumpListing listing =
      ParseTiffDump("x.tif:\n"
                    "Magic: 0x4d4d <big-endian> Version: 0x2a <ClassicTIFF>\n"
                    "Directory 0: offset 8 (0x8) next 0 (0)\n"
                    "ImageWidth (256) LONG (4) 1<160>\n"
                    "ICC Profile (34675) UNDEFINED (7) 2<00 0xc>\n"
                    "33723 (0x83bb) LONG (4) 2<1 2>\n"
                    "Make (271) 99 (0x63) 6<a<b>c\\0>\n");
  ASSERT_TRUE(listing.HeaderAccepted);
  EXPECT_FALSE(listing.BigTiff);
  ASSERT_EQ(listing.Directories.size(), 1u);
  const auto& e = listing.Directories[0].Entries;
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[1].Tag, 34675u);
  EXPECT_EQ(e[1].Type, 7u);
  EXPECT_EQ(e[2].Tag, 33723u);
  EXPECT_EQ(e[2].Count, 2u);
  EXPECT_EQ(e[3].Type, 99u);
  EXPECT_EQ(e[3].Values, "a<b>c\\0");
}

TEST(TiffDumpParsing, UnescapesAsciiValues) {
  EXPECT_EQ(UnescapeTiffDumpAscii("ab\\0"), std::string("ab\0", 3));
  EXPECT_EQ(UnescapeTiffDumpAscii("a\\tb\\n\\r\\v\\b"), "a\tb\n\r\v\b");
  EXPECT_EQ(UnescapeTiffDumpAscii("\\001\\377\\014"), "\x01\xff\x0c");
  // A NUL followed by digits of the text, not an escape for a byte with a form of its own.
  EXPECT_EQ(UnescapeTiffDumpAscii("\\012"), std::string("\0"
                                                        "12",
                                                        3));
  EXPECT_EQ(UnescapeTiffDumpAscii("C:\\x"), "C:\\x");
}

} // namespace
} // namespace lodestar::test
