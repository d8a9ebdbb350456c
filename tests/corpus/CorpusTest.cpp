// The public corpus against libtiff's tiffdump, an independent reader of the same structure: pages
// and sub-directories, entry by entry.
#include "CodePage.h"
#include "RunProgram.h"
#include "cLodestar.h"

#include <gtest/gtest.h>
#include <sstream>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;

// "position tag type count" of an entry; Short with count 1 or 2 and Long with count 1 print their
// first number alike (the other rules are checked on built files in tests/reader).
std::string Entry(std::uint64_t position, const std::string& tag, unsigned type,
                  std::uint64_t count, const std::string& value) {
  const bool alike = (type == 3 && (count == 1 || count == 2)) || (type == 4 && count == 1);
  return std::to_string(position) + " " + tag + " " + std::to_string(type) + " " +
         std::to_string(count) + (alike ? " " + value : "") + "\n";
}

std::string Entries(const TTags& tags) {
  std::string text;
  for (const TTag& tag : tags)
    text +=
        Entry(tag.EntryPos(), tag.TagNumber(), tag.TypeCode(), tag.Count(), ToUtf8(tag.Value()));
  return text;
}

struct TDumpDirectory {
  std::uint64_t Offset = 0, Count = 0;
  std::string Entries;
};

struct TDump {
  bool Accepted = false;
  std::vector<TDumpDirectory> Directories;
};

// tiffdump's listing, from the header or from offset on: "Directory i: offset D (0x..) next X
// (0x..)", then "Name (tag) TYPE (type) count<values>" per entry, an unknown number as "(0x..)".
TDump RunTiffDump(const std::string& path, std::uint64_t offset = 0) {
  std::vector<std::string> args = {"-m", "1048576", path};
  if (offset)
    args.insert(args.begin(), {"-o", std::to_string(offset)});
  std::istringstream out(RunProgram("tiffdump", args).Out);
  TDump dump;
  bool big = false;
  for (std::string line; std::getline(out, line);) {
    unsigned long long at = 0;
    const std::size_t open = line.find('<'); // names never hold '<'
    std::istringstream head(line.substr(0, open));
    const std::vector<std::string> w{std::istream_iterator<std::string>(head), {}};
    const auto number = [&w](std::size_t i) { return std::stoul(w.at(i).substr(1), nullptr, 0); };
    if (line.rfind("Magic:", 0) == 0) {
      dump.Accepted = true;
      big = line.find("<BigTIFF>") != std::string::npos;
    } else if (std::sscanf(line.c_str(), "Directory %*u: offset %llu", &at) == 1) {
      dump.Directories.push_back({at, 0, ""});
    } else if (!dump.Directories.empty() && !line.empty()) {
      TDumpDirectory& d = dump.Directories.back();
      const std::string values = line.substr(open + 1, line.size() - open - 2);
      d.Entries += Entry(d.Offset + (big ? 8 + 20 * d.Count : 2 + 12 * d.Count),
                         std::to_string(number(w.size() - 4)), number(w.size() - 2),
                         std::stoull(w.back()), values.substr(0, values.find(' ')));
      ++d.Count;
    }
  }
  return dump;
}

// How many of tiffdump's directories our walk reads: it stops at a directory whose entry table
// [D, D + 2 + 12 N + 4) overlaps one read before.
std::size_t PagesOurWalkReads(const TDump& dump) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> tables;
  for (const TDumpDirectory& dir : dump.Directories) {
    const std::uint64_t begin = dir.Offset, end = begin + 2 + 12 * dir.Count + 4;
    for (auto [b, e] : tables)
      if (begin < e && b < end)
        return tables.size();
    tables.emplace_back(begin, end);
  }
  return tables.size();
}

// Every sub-directory against tiffdump -o at its offset.
void ExpectSubDirectoriesAgree(const std::string& path,
                               const std::vector<TTiffDirectory>& directories) {
  for (const TTiffDirectory& d : directories) {
    const TDump dump = RunTiffDump(path, d.DirectoryOffset());
    EXPECT_EQ(Entries(d.Tags()), dump.Directories.empty() ? "" : dump.Directories[0].Entries)
        << d.Name();
    ExpectSubDirectoriesAgree(path, d.SubDirectories());
  }
}

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(TestDataDir() / "corpus"))
    if (entry.path().extension() != ".md")
      names.push_back(entry.path().filename().string());
  return names;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, AgreesWithTiffDump) {
  if (RunProgram("command", {"-v", "tiffdump"}).Status != 0)
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
    const TTiffPage& page = *file.Pages().GetPage(static_cast<int>(p));
    EXPECT_EQ(static_cast<std::uint64_t>(page.DirectoryOffset()), dump.Directories[p].Offset)
        << "page " << p + 1;
    EXPECT_EQ(Entries(page.Tags()), dump.Directories[p].Entries) << "page " << p + 1;
    ExpectSubDirectoriesAgree(path, page.SubDirectories());
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
