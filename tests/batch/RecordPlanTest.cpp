// The per-file work without waste (texts built when asked, a plan compiled once, scratch reused,
// no look before a read) must give what a fresh, text-based load gives.
#include "CodePage.h"
#include "TBatchEngine.h"
#include "TFileLoad.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const TTiffBuilder B;

void ExpectUtf8MatchesWide(const TTags& tags, const std::string& where) {
  for (const TTag& tag : tags) {
    std::string utf8;
    tag.AppendValueUtf8(utf8);
    EXPECT_EQ(utf8, ToUtf8(tag.Value())) << where << " tag " << tag.TagNumber();
  }
}

// The records and the views take their texts by two ways; every entry of both corpora, and Byte
// values with control and high bytes, must read the same either way.
TEST(ValueText, Utf8OfEveryEntryIsItsWideText) {
  std::vector<fs::path> files;
  for (const fs::path& dir : {TestDataDir() / "corpus", TestDataDir() / "../../../shared/corpus"})
    if (fs::is_directory(dir))
      for (const auto& entry : fs::directory_iterator(dir))
        files.push_back(entry.path());
  ASSERT_GT(files.size(), 50u);
  for (const auto& path : files) {
    TTiffFile file;
    try {
      file.SetFileName(path.string());
    } catch (const std::exception&) {
      continue;
    }
    for (const TTiffPage& page : file.Pages()) {
      ExpectUtf8MatchesWide(page.Tags(), path.string());
      for (const TTiffDirectory& sub : page.SubDirectories())
        ExpectUtf8MatchesWide(sub.Tags(), path.string() + " " + sub.Name());
    }
  }
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.BytesEntry(1, 1, {'a', 0x01, 0x80, 0xE9, 0x9F, ' ', 0x00, 'z'}),
                            b.BytesEntry(2, 2, {'a', 0x01, 0x80, 0xE9, 0x00, 'z', 0x00}),
                            b.RawEntry(3, 7, 1, 5)});
  TTiffFile file;
  file.LoadFromMemory("b.tif", b.Bytes());
  ExpectUtf8MatchesWide(file.Pages().GetPage(0)->Tags(), "built");
}

// An item names the entries of its number text: no leading zeros, nothing past 65535, tag 0.
TEST(RecordPlan, ItemsNameEntriesByTheirNumberText) {
  TTiffBuilder b;
  b.Header(8).Directory(8, {b.ShortEntry(0, 7), b.ShortEntry(256, 10), b.AsciiEntry(305, "a"),
                            b.AsciiEntry(305, "b\"c")});
  TTiffFile file;
  file.LoadFromMemory("n.tif", b.Bytes());
  const TTiffPage& page = *file.Pages().GetPage(0);
  TRecordOptions options{.TickedItems = {"0  Z", "00  Z", "0256  W", "256  W", "70000  X",
                                         "65792  X", "305  S", "256  W"}};
  EXPECT_EQ(TBatchEngine::GetTagValues(page, options), R"(,"7","","","10","","","a","b"c","10")");
  options.Format = TRecordFormat::Csv;
  EXPECT_EQ(TBatchEngine::GetTagValues(page, options),
            ",\"7\",\"\",\"\",\"10\",\"\",\"\",\"a\nb\"\"c\",\"10\"");
}

// One scratch and one outcome serve file after file: each file's records, counts and failure
// are those of a fresh load, also for a name read before whose file has changed since.
TEST(LoadScratch, EachFileGivesWhatAFreshLoadGives) {
  TTempDir dir;
  const auto save = [&](const std::string& name, const std::vector<std::vector<TEntryDraft>>& p) {
    TTiffBuilder().Pages(p).Save(dir.File(name));
  };
  save("a.tif",
       {{B.ShortEntry(256, 1), B.AsciiEntry(305, "long software name")}, {B.ShortEntry(256, 2)}});
  save("b.tif", {{B.ShortEntry(257, 3)}});
  std::ofstream(dir.File("c.tif")) << "not a TIFF file";
  const TRecordPlan plan(TRecordOptions{.TickedItems = {"256  W", "257  L", "305  S"}});
  const auto job = [&](const std::string& name) {
    TFileJob j;
    j.DirectoryPart = dir.Path().string() + "/";
    j.Name = name;
    return j;
  };
  TLoadScratch scratch, freshScratch;
  TFileOutcome outcome;
  const std::vector<std::string> names{"a.tif", "c.tif", "b.tif", "gone.tif", "a.tif", "a.tif"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i + 1 == names.size())
      save("a.tif", {{B.ShortEntry(256, 9)}}); // changed since it was read
    LoadFile(job(names[i]), plan, scratch, outcome);
    TFileOutcome fresh;
    freshScratch.File.reset();
    LoadFile(job(names[i]), plan, freshScratch, fresh);
    EXPECT_TRUE(outcome.Records == fresh.Records && outcome.RecordEnds == fresh.RecordEnds &&
                outcome.Counted == fresh.Counted && outcome.Skipped == fresh.Skipped &&
                outcome.PageCount == fresh.PageCount)
        << names[i] << ": " << outcome.Records << " / " << fresh.Records;
  }
  EXPECT_EQ(outcome.Records, "\"" + dir.Path().string() + "/a.tif\",\"1\",\"9\",\"\",\"\"");
}

// A name the listing called a regular file is read without looking at it first: its size comes
// from the read, a file larger than one read from a look after all, and an entry that is no
// longer a regular file is refused as before, a pipe without waiting for a writer.
TEST(FileReaderKind, AListedRegularFileIsReadWithoutALookFirst) {
  TTempDir dir;
  for (const std::size_t size : {0u, 100u, 40000u, 1u << 20}) {
    const std::string path = dir.File("f" + std::to_string(size));
    std::ofstream(path) << std::string(size, 'x');
    for (const TFileKind kind : {TFileKind::Unknown, TFileKind::Regular}) {
      TFileReader reader(path, kind);
      EXPECT_EQ(reader.Size(), size);
      unsigned char last = 0;
      reader.Seek(static_cast<std::int64_t>(size) - 1);
      EXPECT_EQ(reader.Read(&last, 2), size > 0 ? 1u : 0u);
    }
  }
  ASSERT_EQ(mkfifo(dir.File("p.tif").c_str(), 0600), 0);
  for (const auto& [name, reason] :
       {std::pair{"p.tif", "Not a regular file"}, std::pair{"", "Is a directory"}}) {
    try {
      TFileReader reader(dir.File(name), TFileKind::Regular);
      ADD_FAILURE() << name << " was read";
    } catch (const EFOpenError& error) {
      EXPECT_TRUE(std::string(error.what()).ends_with(reason)) << error.what();
    }
  }
}

} // namespace
} // namespace lodestar::test
