#include "TCheckContext.h"

#include "TChecker.h"
#include "TFileReader.h"

#include <algorithm>

namespace lodestar::check {

const TEntry* TDirectory::Find(std::uint16_t tag) const {
  for (const TEntry& entry : Entries)
    if (entry.Tag == tag)
      return &entry;
  return nullptr;
}

int TypeSize(std::uint16_t type, bool bigTiff) {
  switch (type) {
  case type::Byte:
  case type::Ascii:
  case type::SByte:
  case type::Undefined:
    return 1;
  case type::Short:
  case type::SShort:
    return 2;
  case type::Long:
  case type::SLong:
  case type::Float:
  case type::Ifd:
    return 4;
  case type::Rational:
  case type::SRational:
  case type::Double:
    return 8;
  case type::Long8:
  case type::SLong8:
  case type::Ifd8:
    return bigTiff ? 8 : 0;
  default:
    return 0;
  }
}

const char* TypeText(std::uint16_t type) {
  static constexpr const char* Names[] = {"type 0",    "Byte",  "Ascii",     "Short",  "Long",
                                          "Rational",  "SByte", "Undefined", "SShort", "SLong",
                                          "SRational", "Float", "Double",    "IFD",    "type 14",
                                          "type 15",   "Long8", "SLong8",    "IFD8"};
  return type < std::size(Names) ? Names[type] : "an unknown type";
}

TCheckContext::TCheckContext(TFileReader& source)
    : FSource(source), FSize(static_cast<std::uint64_t>(source.Size())) {}

std::size_t TCheckContext::ReadAt(std::uint64_t pos, void* buffer, std::size_t count) {
  if (pos >= FSize)
    return 0;
  FSource.Seek(static_cast<std::int64_t>(pos));
  return FSource.Read(buffer, count);
}

std::optional<std::uint64_t> TCheckContext::Number(std::uint64_t pos, int size) {
  unsigned char bytes[8];
  if (ReadAt(pos, bytes, static_cast<std::size_t>(size)) != static_cast<std::size_t>(size))
    return std::nullopt;
  std::uint64_t value = 0;
  for (int i = 0; i < size; ++i) {
    const int at = FBigEndian ? i : size - 1 - i;
    value = (value << 8) | bytes[at];
  }
  return value;
}

std::vector<std::uint64_t> TCheckContext::Values(const TEntry& entry, std::uint64_t max) {
  std::vector<std::uint64_t> values;
  const int size = TypeSize(entry.Type, FBigTiff);
  const bool integer = entry.Type != type::Ascii && entry.Type != type::Rational &&
                       entry.Type != type::SRational && entry.Type != type::Float &&
                       entry.Type != type::Double;
  if (!entry.Readable || size == 0 || !integer)
    return values;
  const std::uint64_t count = std::min(entry.Count, max);
  values.reserve(static_cast<std::size_t>(count));
  // One read for the whole array: a 65,535-strip table is one system call, not 65,535.
  std::vector<unsigned char> bytes(static_cast<std::size_t>(count) *
                                   static_cast<std::size_t>(size));
  const std::size_t got = ReadAt(entry.ValuePos, bytes.data(), bytes.size());
  for (std::size_t at = 0; at + static_cast<std::size_t>(size) <= got;
       at += static_cast<std::size_t>(size)) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i)
      value = (value << 8) | bytes[at + static_cast<std::size_t>(FBigEndian ? i : size - 1 - i)];
    values.push_back(value);
  }
  return values;
}

std::optional<std::uint64_t> TCheckContext::First(const TDirectory& directory, std::uint16_t tag) {
  const TEntry* entry = directory.Find(tag);
  if (!entry)
    return std::nullopt;
  const auto values = Values(*entry, 1);
  if (values.empty())
    return std::nullopt;
  return values.front();
}

void TCheckContext::Add(std::string_view ruleId, const TDirectory* directory, const TEntry* entry,
                        std::uint64_t offset, std::string message) {
  const TRule* rule = FindRule(ruleId);
  TFinding finding;
  finding.Rule = rule;
  if (directory) {
    finding.Directory = directory->Name;
    finding.Page = directory->Page;
  }
  if (entry) {
    finding.Tag = entry->Tag;
    finding.Entry = entry->Index;
    finding.EntryPos = entry->Index >= 0 ? entry->EntryPos : 0;
  }
  finding.Offset = offset;
  auto& held = FHeldBack[rule];
  if (++held.first > TChecker::MaxPerRule) {
    if (held.first == TChecker::MaxPerRule + 1)
      held.second = std::move(finding);
    return;
  }
  finding.Message = std::move(message);
  FFindings.push_back(std::move(finding));
}

TCheckResult TCheckContext::Finish(int pages) {
  // Sorted by start, each extent is compared with the one reaching furthest before it: that finds
  // every extent that shares bytes with an earlier one, in one pass.
  std::sort(FExtents.begin(), FExtents.end(), [](const TExtent& a, const TExtent& b) {
    return a.Start != b.Start ? a.Start < b.Start : a.End < b.End;
  });
  const TExtent* furthest = nullptr;
  for (const TExtent& extent : FExtents) {
    if (extent.Start == extent.End)
      continue;
    if (furthest && extent.Start < furthest->End) {
      const bool image = extent.Kind == TExtent::Image || furthest->Kind == TExtent::Image;
      const bool directories =
          extent.Kind == TExtent::Directory && furthest->Kind == TExtent::Directory;
      const char* rule = image ? "IMG-OVERLAP" : directories ? "IFD-OVERLAP" : "ENT-OVERLAP";
      static constexpr const char* Kinds[] = {"directory", "value", "strip or tile"};
      std::string other =
          std::string(Kinds[furthest->Kind]) + " at " + std::to_string(furthest->Start);
      if (furthest->Owner)
        other +=
            " (" + furthest->Owner->Name +
            (furthest->Kind == TExtent::Directory ? "" : ", tag " + std::to_string(furthest->Tag)) +
            ")";
      TEntry entry;
      entry.Tag = extent.Tag;
      entry.Index = extent.Entry;
      entry.EntryPos = extent.EntryPos;
      Add(rule, extent.Owner, extent.Kind == TExtent::Directory ? nullptr : &entry, extent.Start,
          std::string(Kinds[extent.Kind]) + " of " + std::to_string(extent.End - extent.Start) +
              " bytes at " + std::to_string(extent.Start) + " shares bytes with the " + other);
    }
    if (!furthest || extent.End > furthest->End)
      furthest = &extent;
  }
  TCheckResult result;
  result.BigTiff = FBigTiff;
  result.Pages = pages;
  result.Findings = std::move(FFindings);
  for (auto& [rule, held] : FHeldBack) {
    if (held.first <= TChecker::MaxPerRule)
      continue;
    TFinding finding = std::move(held.second);
    const int rest = held.first - TChecker::MaxPerRule;
    finding.Message = std::to_string(rest) + " more " + (rest == 1 ? "finding" : "findings") +
                      " of " + std::string(rule->Id) + " not listed, the first here";
    result.Findings.push_back(std::move(finding));
  }
  result.Verdict = VerdictOf(result.Findings);
  return result;
}

} // namespace lodestar::check
