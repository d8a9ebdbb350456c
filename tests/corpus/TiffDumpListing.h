#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lodestar::test {

// libtiff's tiffdump serves as an independent reader of the directory structure. Its listing is
// "Directory i: offset D (0x..) next X (0x..)" followed by one line per entry:
// "Name (tag) TYPE (type) count<values>", unknown tags and types as "n (0xn)".
struct TDumpEntry {
  std::uint32_t Tag = 0;
  std::uint32_t Type = 0;
  std::uint64_t Count = 0;
  // The text between the angle brackets, as tiffdump printed it.
  std::string Values;
};

struct TDumpDirectory {
  std::uint64_t Offset = 0;
  std::uint64_t Next = 0;
  std::vector<TDumpEntry> Entries;
};

struct TDumpListing {
  bool HeaderAccepted = false; // a "Magic:" line was printed
  bool BigTiff = false;
  int ExitStatus = 0;
  std::string Errors; // tiffdump's standard error
  std::vector<TDumpDirectory> Directories;
};

// Most values tiffdump prints per tag; it never prints more than 64 KiB of one value anyway.
constexpr std::uint64_t DumpMaxItems = 65536;

// The tiffdump program on the PATH, or nothing.
std::optional<std::string> FindTiffDump();

// Runs tiffdump on path and parses its listing.
TDumpListing RunTiffDump(const std::string& tiffdump, const std::string& path,
                         const std::string& scratchDir);

TDumpListing ParseTiffDump(const std::string& out);

// The bytes of an ASCII value as tiffdump escapes them: \0, \t, \b, \r, \n, \v and \ooo.
std::string UnescapeTiffDumpAscii(const std::string& text);

} // namespace lodestar::test
