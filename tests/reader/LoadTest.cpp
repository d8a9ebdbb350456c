#include "ReaderTestSupport.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <typeinfo>
#include <unistd.h>

namespace lodestar::test {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

// The mark decides how the magic is read: 42 in the other byte order is 10752. Not a TIFF file
// raises EInvalidTiff, one too short to tell a read error; neither leaves a page.
TEST(Header, BadHeadersRaiseTheirErrorAndLeaveNoPages) {
  const struct {
    std::string Bytes;
    bool Invalid;
    std::uint8_t ByteOrder;
  } cases[] = {{"", false, 0},
               {"MM", false, 2},
               {"II*\0\x08\0\0"s, false, 1},
               {"IM*\0\x08\0\0\0"s, true, 0},
               {"II+\0\x04\0\0\0"s, true, 0}, // BigTIFF with 4-byte offsets
               {"II\0*\x08\0\0\0"s, true, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Bytes);
    TTiffFile file;
    try {
      file.LoadFromMemory("bad.tif", TTiffBuilder().Raw(0, c.Bytes).Bytes());
      ADD_FAILURE() << "loaded";
    } catch (const ELodestarError& e) {
      EXPECT_EQ(e.what(), std::string(c.Invalid ? "Not a valid tiff file" : "Stream read error"));
      EXPECT_EQ(typeid(e) == typeid(EInvalidTiff), c.Invalid);
    }
    EXPECT_EQ(file.ByteOrder(), c.ByteOrder);
    EXPECT_EQ(file.PageCount(), 0);
    EXPECT_EQ(file.LoadStatus(), TLoadStatus::Failed);
  }
}

// A directory at Pos with Entries entries, of which only the count and the next offset are
// written: the entries themselves read as zero bytes.
struct TDir {
  std::uint32_t Pos, Entries, Next;
};

struct TChainCase {
  const char* Name;
  std::uint32_t First;
  std::vector<TDir> Dirs;
  std::size_t Size; // the file is cut (or grown) to this size; 0 leaves it
  std::vector<std::pair<std::int32_t, int>> Pages; // directory offset and number of tags
  std::vector<std::string> Messages;
};

class Chain : public ReaderTest, public ::testing::WithParamInterface<TChainCase> {};

TEST_P(Chain, EndsWhereItMustInEitherByteOrder) {
  const TChainCase& c = GetParam();
  for (TByteOrder order : {TByteOrder::Little, TByteOrder::Big}) {
    TTiffBuilder b(order);
    b.Header(c.First);
    for (const TDir& d : c.Dirs)
      b.U16(d.Pos, static_cast<std::uint16_t>(d.Entries)).U32(d.Pos + 2 + 12 * d.Entries, d.Next);
    if (c.Size)
      b.Truncate(c.Size);
    FMessages.clear();
    auto file = Load(b);
    EXPECT_EQ(file->ByteOrder(), order == TByteOrder::Big ? 2 : 1);
    std::vector<std::pair<std::int32_t, int>> pages;
    for (const TTiffPage& page : file->Pages())
      pages.emplace_back(page.DirectoryOffset(), page.Tags().Count());
    EXPECT_EQ(pages, c.Pages);
    EXPECT_EQ(file->Pages().GetPage(file->PageCount()), nullptr);
    // The directory's end as a signed number follows the file size in the failure message.
    EXPECT_EQ(FMessages, c.Messages);
  }
}

// A directory whose table overlaps one already read ends the chain, silently; one that cannot be
// read ends it after its message; "streamsize" once for entries starting past the end.
const TChainCase ChainCases[] = {
    {"FirstOffsetZero", 0, {}, 0, {}, {}},
    {"NotFileOrder", 200, {{200, 1, 100}, {100, 2, 0}}, 0, {{200, 1}, {100, 2}}, {}},
    {"BackToTheFirst", 8, {{8, 1, 100}, {100, 1, 8}}, 0, {{8, 1}, {100, 1}}, {}},
    {"IntoAnEarlierTable", 8, {{8, 3, 100}, {100, 1, 22}}, 0, {{8, 3}, {100, 1}}, {}},
    {"OverAnEarlierTable", 100, {{100, 0, 60}, {60, 4, 0}}, 0, {{100, 0}}, {}},
    {"TouchingAnEarlierEnd", 8, {{8, 0, 14}, {14, 1, 0}}, 0, {{8, 0}, {14, 1}}, {}},
    {"TouchingAnEarlierStart", 32, {{32, 0, 14}, {14, 1, 0}}, 0, {{32, 0}, {14, 1}}, {}},
    {"FirstPastTheEnd", 1000, {}, 100, {{1000, 0}}, {"1001002"}},
    {"NextAt2GiB", 8, {{8, 0, 0x80000000u}}, 0, {{8, 0}, {INT_MIN, 0}}, {"14-2147483646"}},
    {"NextAtTheLastOffset", 8, {{8, 0, INT_MAX}}, 0, {{8, 0}, {INT_MAX, 0}}, {"14-2147483647"}},
    {"EntryAtTheEnd", 40, {{40, 1, 0}}, 42, {{40, 1}}, {"4254"}},
    {"EntriesPastTheEnd", 40, {{40, 5, 0}}, 60, {{40, 5}}, {"streamsize", "60102"}},
    {"HugeCount", 8, {{8, 65535, 0}}, 100, {{8, 65535}}, {"streamsize", "100786430"}},
    {"FailsAfterOne", 8, {{8, 1, 26}, {26, 3, 0}}, 32, {{8, 1}, {26, 3}}, {"streamsize", "3264"}},
};
INSTANTIATE_TEST_SUITE_P(Walk, Chain, ::testing::ValuesIn(ChainCases),
                         [](const auto& info) { return std::string(info.param.Name); });

using OpenTest = ReaderTest;

// Archives on read-only shares: files are opened for reading only. Neither the same name nor a
// missing one loads anything.
TEST_F(OpenTest, ReadOnlyFileLoadsOnce) {
  TTiffBuilder b;
  const std::string path = b.Pages({{}, {}}).Save(FDir.File("scan.tif"));
  fs::permissions(path, fs::perms::owner_read);
  fs::permissions(FDir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  auto file = std::make_unique<TTiffFile>([this](const std::string& m) { FMessages.push_back(m); });
  file->SetFileName(path);
  EXPECT_EQ(file->PageCount(), 2);
  fs::permissions(FDir.Path(), fs::perms::owner_all);
  fs::permissions(path, fs::perms::owner_all);
  b.Pages({{}}).Save(path);
  file->SetFileName(path);
  EXPECT_EQ(file->LoadStatus(), TLoadStatus::Loaded);
  file->SetFileName(FDir.File("absent.tif"));
  EXPECT_EQ(file->FileName(), path);
  EXPECT_EQ(file->PageCount(), 2);
  EXPECT_TRUE(FMessages.empty());
}

// A name that loads nothing says why, so that no caller has to look at the file system again;
// what cannot be opened raises its path and reason.
TEST_F(OpenTest, LoadStatusAndOpenErrorSayWhyNothingLoaded) {
  TTiffBuilder b;
  const std::string good = b.Pages({{}}).Save(FDir.File("good.tif"));
  const std::string bad = TTiffBuilder().Header(8, 44).Save(FDir.File("bad.tif"));
  const std::string closed = FDir.File("closed"), pipe = FDir.File("pipe.tif");
  fs::create_directory(closed);
  const std::string hidden = b.Save(closed + "/hidden.tif");
  const std::string locked = b.Save(FDir.File("locked.tif"));
  fs::permissions(closed, fs::perms::none);
  fs::permissions(locked, fs::perms::none);
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  struct TCase {
    std::string Path;
    TLoadStatus Status;
    int Errno;
    std::string OpenError; // the reason after the path, if it raises EFOpenError
  };
  std::vector<TCase> cases = {{good, TLoadStatus::Loaded, 0, ""},
                              {bad, TLoadStatus::Failed, 0, ""},
                              {FDir.File("absent.tif"), TLoadStatus::NotFound, ENOENT, ""},
                              {FDir.Path().string(), TLoadStatus::IsDirectory, EISDIR, ""},
                              {pipe, TLoadStatus::Failed, 0, "Not a regular file"}};
  if (geteuid() != 0) { // root searches and reads without the rights
    cases.push_back({hidden, TLoadStatus::Unreachable, EACCES, ""});
    cases.push_back({locked, TLoadStatus::Failed, 0, std::strerror(EACCES)});
  }
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    TTiffFile file;
    EXPECT_EQ(file.LoadStatus(), TLoadStatus::None);
    std::string openError;
    try {
      file.SetFileName(c.Path);
    } catch (const EFOpenError& e) {
      openError = e.what();
    } catch (const ELodestarError&) {
    }
    EXPECT_EQ(openError,
              c.OpenError.empty() ? "" : "Cannot open file \"" + c.Path + "\". " + c.OpenError);
    EXPECT_EQ(file.LoadStatus(), c.Status);
    EXPECT_EQ(file.LoadError().value(), c.Errno);
    EXPECT_EQ(file.LoadError().message(), c.Errno ? std::strerror(c.Errno) : "Success");
  }
  fs::permissions(closed, fs::perms::owner_all);
}

// The bytes in memory and the same bytes in a file give the same pages, tags, texts and messages,
// cut anywhere.
TEST_F(OpenTest, MemoryAndFileGiveTheSameResults) {
  TTiffBuilder b(TByteOrder::Big);
  b.Pages({{b.AsciiEntry(270, "A text after the directory"s + '\0'),
            b.BytesEntry(700, Byte, {65, 1, 66, 67, 68}), b.RationalEntry(282, 300, 1),
            b.ShortEntry(256, 1728), b.AsciiEntry(305, "ab")},
           {b.LongEntry(257, 70000), b.RawEntry(271, Ascii, 1 << 20, 8)}});
  // The error raised, the messages, then every tag, of one load.
  auto describe = [](auto load) {
    std::string text;
    TTiffFile file([&text](const std::string& m) { text += m + ";"; });
    try {
      load(file);
    } catch (const ELodestarError& e) {
      text += e.what() + std::string("!");
    }
    for (const TTiffPage& page : file.Pages())
      for (const TTag& t : page.Tags())
        text += Fields(t) + "\n";
    return text;
  };
  const std::string path = FDir.File("cut.tif");
  for (std::size_t size = 0; size <= b.Size(); ++size) {
    TTiffBuilder cut = b;
    cut.Truncate(size).Save(path);
    ASSERT_EQ(describe([&](TTiffFile& f) { f.SetFileName(path); }),
              describe([&](TTiffFile& f) { f.LoadFromMemory(path, cut.Bytes()); }))
        << size;
  }
}

} // namespace
} // namespace lodestar::test
