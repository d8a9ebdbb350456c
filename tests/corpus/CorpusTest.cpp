// The public corpus against libtiff's tiffdump, an independent reader of the same structure.

#include "CodePage.h"
#include "RunProgram.h"
#include "cLodestar.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>
#include <vector>

namespace lodestar::test {
namespace {

constexpr const char* TiffDump = "/usr/bin/tiffdump";

// tiffdump's listing: "Directory i: offset D (0x..) next X (0x..)", then a line per entry.
struct TDumpEntry {
  std::uint32_t Tag = 0, Type = 0;
  std::uint64_t Count = 0;
  std::string Values; // between the angle brackets
};

struct TDumpDirectory {
  std::uint64_t Offset = 0;
  std::vector<TDumpEntry> Entries;
};

struct TDump {
  bool Accepted = false, BigTiff = false;
  std::vector<TDumpDirectory> Directories;
};

TDump RunTiffDump(const std::string& path) {
  std::istringstream out(RunProgram(TiffDump, {"-m", "1048576", path}).Out);
  TDump dump;
  for (std::string line; std::getline(out, line);) {
    unsigned long long offset = 0;
    const std::size_t open = line.find('<'); // names never hold '<'
    std::istringstream head(line.substr(0, open));
    const std::vector<std::string> w{std::istream_iterator<std::string>(head), {}};
    if (line.rfind("Magic:", 0) == 0) {
      dump.Accepted = true;
      dump.BigTiff = line.find("<BigTIFF>") != std::string::npos;
    } else if (std::sscanf(line.c_str(), "Directory %*u: offset %llu", &offset) == 1) {
      dump.Directories.push_back({offset, {}});
    } else if (!dump.Directories.empty() && !line.empty()) {
      // "Name (tag) TYPE (type) count<values>"; an unknown number in brackets is "(0x..)".
      const std::size_t n = w.size();
      const auto number = [&w](std::size_t at) {
        return static_cast<std::uint32_t>(std::stoul(w.at(at).substr(1), nullptr, 0));
      };
      dump.Directories.back().Entries.push_back({number(n - 4), number(n - 2),
                                                 std::stoull(w.at(n - 1)),
                                                 line.substr(open + 1, line.size() - open - 2)});
    }
  }
  return dump;
}

// How many of tiffdump's directories our walk reads: it stops at a directory whose entry table
// [D, D + 2 + 12 N + 4) overlaps one read before.
std::size_t PagesOurWalkReads(const TDump& dump) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> tables;
  for (const TDumpDirectory& dir : dump.Directories) {
    const std::uint64_t begin = dir.Offset, end = begin + 2 + 12 * dir.Entries.size() + 4;
    for (auto [b, e] : tables)
      if (begin < e && b < end)
        return tables.size();
    tables.emplace_back(begin, end);
  }
  return tables.size();
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(TestDataDir() / "corpus"))
    if (entry.path().extension() != ".md")
      names.push_back(entry.path().filename().string());
  return names;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, AgreesWithTiffDump) {
  if (!std::filesystem::exists(TiffDump))
    GTEST_SKIP() << "tiffdump is missing (Debian package libtiff-tools)";
  const std::string path = (TestDataDir() / "corpus" / GetParam()).string();
  const TDump dump = RunTiffDump(path);
  std::vector<std::string> messages;
  TTiffFile file([&messages](const std::string& m) { messages.push_back(m); });

  if (!dump.Accepted) {
    // Refused by tiffdump: load what can be read or refuse with the reader's own error.
    try {
      file.SetFileName(path);
    } catch (const ELodestarError&) {
    }
    return;
  }
  ASSERT_NO_THROW(file.SetFileName(path));
  EXPECT_TRUE(messages.empty()) << messages.front();
  // A loop ends our walk where tiffdump reports its cycle.
  const std::size_t pages = PagesOurWalkReads(dump);
  ASSERT_EQ(static_cast<std::size_t>(file.PageCount()), pages);

  for (std::size_t p = 0; p < pages; ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    const TDumpDirectory& dir = dump.Directories[p];
    const TTiffPage& page = *file.Pages().GetPage(static_cast<int>(p));
    ASSERT_EQ(static_cast<std::uint64_t>(page.DirectoryOffset()), dir.Offset);
    ASSERT_EQ(static_cast<std::size_t>(page.Tags().Count()), dir.Entries.size());
    for (std::size_t i = 0; i < dir.Entries.size(); ++i) {
      const TDumpEntry& entry = dir.Entries[i];
      const TTag& tag = *page.Tags().GetTag(static_cast<int>(i));
      SCOPED_TRACE("entry " + std::to_string(i) + ", tag " + std::to_string(entry.Tag));
      // Entry position, tag number, stored type code (the TIFF type minus 1) and count.
      EXPECT_EQ(std::tuple(tag.EntryPos(), tag.TagNumber(), int(tag.FieldType()), tag.Count()),
                std::tuple(dir.Offset + (dump.BigTiff ? 8 + 20 * i : 2 + 12 * i),
                           std::to_string(entry.Tag), int(std::uint8_t(entry.Type - 1)),
                           std::uint64_t(entry.Count)));
      // Short with count 1 or 2 and Long with count 1 print their first number alike; the
      // other rules are checked on built files in tests/reader.
      if ((entry.Type == 3 && (entry.Count == 1 || entry.Count == 2)) ||
          (entry.Type == 4 && entry.Count == 1)) {
        EXPECT_EQ(ToUtf8(tag.Value()), entry.Values.substr(0, entry.Values.find(' ')));
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Files, Corpus, ::testing::ValuesIn(CorpusFiles()), [](const auto& info) {
  std::string name = info.param;
  for (char& c : name)
    c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

} // namespace
} // namespace lodestar::test
