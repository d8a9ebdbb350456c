#include "ReaderTestSupport.h"

#include <chrono>
#include <climits>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <thread>
#include <typeinfo>
#include <unistd.h>

namespace lodestar::test {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

// The mark decides how the magic is read: 42 in the other byte order is 10752. Not a TIFF file
// raises EInvalidTiff, one too short to tell a read error; neither leaves a page.
TEST(Header, BadHeadersRaiseTheirErrorAndLeaveNoPages) {
  // The last: BigTIFF with 4-byte offsets.
  const std::tuple<std::string, bool, int> cases[] = {{"", false, 0},
                                                      {"MM", false, 2},
                                                      {"II*\0\x08\0\0"s, false, 1},
                                                      {"IM*\0\x08\0\0\0"s, true, 0},
                                                      {"II\0*\x08\0\0\0"s, true, 0},
                                                      {"II+\0\x04\0\0\0"s, true, 0}};
  for (const auto& [bytes, invalid, order] : cases) {
    TTiffFile file;
    try {
      file.LoadFromMemory("bad.tif", TTiffBuilder().Raw(0, bytes).Bytes());
      ADD_FAILURE() << "loaded";
    } catch (const ELodestarError& e) {
      EXPECT_EQ(e.what(), std::string(invalid ? "Not a valid tiff file" : "Stream read error"));
      EXPECT_EQ(typeid(e) == typeid(EInvalidTiff), invalid);
    }
    EXPECT_EQ(file.ByteOrder(), order) << bytes;
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
    FMessages.clear();
    auto file = Load(c.Size ? b.Truncate(c.Size) : b);
    EXPECT_EQ(file->ByteOrder(), order == TByteOrder::Big ? 2 : 1);
    std::vector<std::pair<std::int32_t, int>> pages;
    for (const TTiffPage& page : file->Pages())
      pages.emplace_back(page.DirectoryOffset(), page.Tags().Count());
    EXPECT_EQ(pages, c.Pages);
    EXPECT_EQ(file->Pages().GetPage(file->PageCount()), nullptr);
    EXPECT_EQ(FMessages, c.Messages);
  }
}

// A table overlapping one already read ends the chain silently; one that cannot be read ends it
// after its message (the file size, then the table's end as a signed number); "streamsize" once
// for entries starting past the end.
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
  TTiffFile file([this](const std::string& m) { FMessages.push_back(m); });
  file.SetFileName(path);
  EXPECT_EQ(file.PageCount(), 2);
  fs::permissions(FDir.Path(), fs::perms::owner_all);
  fs::permissions(path, fs::perms::owner_all);
  b.Pages({{}}).Save(path);
  file.SetFileName(path);
  file.SetFileName(FDir.File("absent.tif"));
  EXPECT_EQ(file.FileName(), path);
  EXPECT_EQ(file.PageCount(), 2);
  EXPECT_TRUE(FMessages.empty());
}

// The bytes in memory and the same bytes in a file give the same pages, tags, texts and messages,
// cut anywhere.
TEST_F(OpenTest, MemoryAndFileGiveTheSameResults) {
  TTiffBuilder b(TByteOrder::Big);
  b.Pages({{b.AsciiEntry(270, "A text after the directory"s + '\0'),
            b.BytesEntry(700, Byte, {65, 1, 66, 67, 68}), b.RationalEntry(282, 300, 1),
            b.ShortEntry(256, 1728), b.AsciiEntry(305, "ab")},
           {b.LongEntry(257, 70000), b.RawEntry(271, Ascii, 1 << 20, 8)}});
  auto describe = [](auto load) { // the error raised, the messages, then every tag
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

// Another program's editor holds the exclusive lock while it writes a 60,000-byte value, larger
// than one read of the reader's buffer. A load that starts in the middle of the edit sees the
// whole new value, never half of each. (A lock held too long: tests/cli/EditCliTest.cpp.)
TEST(Lock, LoadWaitsForAnEditInProgress) {
  constexpr std::size_t Length = 60000, At = 100;
  TTempDir dir;
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.AsciiEntry(270, std::string(Length, 'a'), At)});
  const std::string path = b.Save(dir.File("edited.tif"));
  const int editor = ::open(path.c_str(), O_WRONLY);
  ASSERT_EQ(::flock(editor, LOCK_EX), 0);
  const std::string half(Length / 2, 'b');
  ASSERT_EQ(::pwrite(editor, half.data(), half.size(), At), ssize_t(half.size()));
  std::vector<std::string> messages;
  auto loaded = std::async(std::launch::async, [&] {
    TTiffFile file([&messages](const std::string& m) { messages.push_back(m); });
    file.SetFileName(path);
    return ToUtf8(file.Pages().GetPage(0)->Tags().GetTag(0)->Value());
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(::pwrite(editor, half.data(), half.size(), At + half.size()), ssize_t(half.size()));
  ::flock(editor, LOCK_UN);
  EXPECT_EQ(loaded.get(), std::string(Length, 'b'));
  EXPECT_TRUE(messages.empty());
  ::close(editor);
}

} // namespace
} // namespace lodestar::test
