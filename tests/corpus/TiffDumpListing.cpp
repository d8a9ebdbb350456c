#include "TiffDumpListing.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace lodestar::test {
namespace {

std::string ShellQuote(const std::string& text) {
  std::string result = "'";
  for (char c : text) {
    if (c == '\'')
      result += "'\\''";
    else
      result += c;
  }
  return result + "'";
}

std::vector<std::string> SplitBlanks(const std::string& text) {
  std::vector<std::string> tokens;
  std::istringstream in(text);
  for (std::string token; in >> token;)
    tokens.push_back(token);
  return tokens;
}

// "Name (n)" gives n; "n (0xn)" gives n. paren is the "(...)" token, name the one before it.
std::uint32_t NumberOf(const std::string& name, const std::string& paren) {
  if (paren.size() < 3 || paren.front() != '(' || paren.back() != ')')
    throw std::runtime_error("unexpected tiffdump token " + paren);
  const std::string inside = paren.substr(1, paren.size() - 2);
  if (inside.rfind("0x", 0) == 0)
    return static_cast<std::uint32_t>(std::stoul(name));
  return static_cast<std::uint32_t>(std::stoul(inside));
}

TDumpEntry ParseEntry(const std::string& line) {
  // Tag and type names never hold '<', so the first one opens the values.
  const std::size_t open = line.find('<');
  if (open == std::string::npos || line.back() != '>')
    throw std::runtime_error("unexpected tiffdump line: " + line.substr(0, 200));
  const std::vector<std::string> head = SplitBlanks(line.substr(0, open));
  if (head.size() < 5)
    throw std::runtime_error("unexpected tiffdump line: " + line.substr(0, 200));
  const std::size_t n = head.size();
  TDumpEntry entry;
  entry.Count = std::stoull(head[n - 1]);
  entry.Type = NumberOf(head[n - 3], head[n - 2]);
  entry.Tag = NumberOf(head[n - 5], head[n - 4]);
  entry.Values = line.substr(open + 1, line.size() - open - 2);
  return entry;
}

} // namespace

std::optional<std::string> FindTiffDump() {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/tiffdump";
    if (access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return std::nullopt;
}

TDumpListing ParseTiffDump(const std::string& out) {
  TDumpListing listing;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Magic:", 0) == 0) {
      listing.HeaderAccepted = true;
      listing.BigTiff = line.find("<BigTIFF>") != std::string::npos;
    } else if (line.rfind("Directory ", 0) == 0) {
      unsigned index = 0;
      unsigned long long offset = 0, next = 0;
      if (std::sscanf(line.c_str(), "Directory %u: offset %llu (%*[^)]) next %llu", &index, &offset,
                      &next) != 3)
        throw std::runtime_error("unexpected tiffdump line: " + line);
      listing.Directories.push_back({offset, next, {}});
    } else if (!listing.Directories.empty() && !line.empty()) {
      listing.Directories.back().Entries.push_back(ParseEntry(line));
    }
  }
  return listing;
}

TDumpListing RunTiffDump(const std::string& tiffdump, const std::string& path,
                         const std::string& scratchDir) {
  const std::string errors = scratchDir + "/tiffdump.err";
  const std::string command = ShellQuote(tiffdump) + " -m " + std::to_string(DumpMaxItems) + " " +
                              ShellQuote(path) + " 2>" + ShellQuote(errors);
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr)
    throw std::runtime_error("cannot run " + command);
  std::string out;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, got);
  const int status = pclose(pipe);

  TDumpListing listing = ParseTiffDump(out);
  listing.ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(errors);
  listing.Errors.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  return listing;
}

std::string UnescapeTiffDumpAscii(const std::string& text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      bytes += text[i];
      continue;
    }
    const char next = text[i + 1];
    auto octal = [&](std::size_t at) {
      return at < text.size() && text[at] >= '0' && text[at] <= '7';
    };
    if (octal(i + 1) && octal(i + 2) && octal(i + 3)) {
      // "\0" followed by digits of the text reads like an octal escape; tiffdump only writes
      // one for a byte it has no other form for.
      const int value = std::stoi(text.substr(i + 1, 3), nullptr, 8);
      const bool hasOtherForm = value == 0 || (value >= 0x20 && value < 0x7F) || value == '\b' ||
                                value == '\t' || value == '\n' || value == '\v' || value == '\r';
      if (!hasOtherForm) {
        bytes += static_cast<char>(value);
        i += 3;
        continue;
      }
    }
    switch (next) {
    case '0':
      bytes += '\0';
      break;
    case 't':
      bytes += '\t';
      break;
    case 'b':
      bytes += '\b';
      break;
    case 'r':
      bytes += '\r';
      break;
    case 'n':
      bytes += '\n';
      break;
    case 'v':
      bytes += '\v';
      break;
    default:
      // A backslash of the text itself is printed as it is.
      bytes += '\\';
      continue;
    }
    ++i;
  }
  return bytes;
}

} // namespace lodestar::test
