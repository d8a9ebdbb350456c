#include "ReportRows.h"

#include "CodePage.h"
#include "TValueBudget.h"
#include "cLodestar.h"

#include <charconv>

namespace lodestar {

const TReportColumn ReportColumns[ReportColumnCount] = {
    {"Nr", 30, false},     {"Tag Pos", 60, true}, {"Tag nr", 60, true}, {"Taginfo", 150, false},
    {"Value", 250, false}, {"Type", 100, false},  {"Length", 50, true}, {"Value Pos", 60, true},
};

namespace {

constexpr std::size_t TagRowCells = 7;

// The rows around the tag rows: five above, two below.
constexpr std::size_t FixedRowCount = 7;

std::string Decimal(int value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void AddLabelledRow(std::vector<TReportRow>& rows, const char* label, std::string value) {
  TReportRow& row = rows.emplace_back();
  row.SubItems.reserve(4);
  row.SubItems.emplace_back();
  row.SubItems.emplace_back();
  row.SubItems.emplace_back(label);
  row.SubItems.push_back(std::move(value));
}

// The row is added to the listing before its cells, so that a failure part-way leaves it with
// the cells it had received.
TEntryRef EntryOf(const TTag& tag, const std::string& directory, int index) {
  TEntryRef ref;
  ref.Directory = directory;
  ref.Index = index;
  ref.Code = tag.Code();
  ref.Ascii = std::string_view(tag.TypeName()) == "Ascii";
  ref.Count = tag.Count();
  ref.ValuePos = tag.ValuePos();
  return ref;
}

void AddTagRow(std::vector<TReportRow>& rows, int number, const TTag& tag, TDisplayBase base,
               TValueBudget& budget, const std::string& directory = {}) {
  TReportRow& row = rows.emplace_back();
  row.Caption = directory.empty() ? Decimal(number) : directory + ' ' + Decimal(number);
  row.Entry = EntryOf(tag, directory, number - 1);
  std::vector<std::string>& cells = row.SubItems;
  cells.reserve(TagRowCells);
  cells.push_back(FormatInBase(tag.EntryPos(), base));
  cells.push_back(tag.TagNumber());
  cells.push_back(tag.Description()); // a blank tag raises here
  std::string value = budget.Spent() ? std::string() : ToUtf8(tag.Value());
  row.Entry->ViewCut = budget.Spend(value);
  cells.push_back(std::move(value));
  cells.emplace_back(tag.TypeName());
  cells.push_back(FormatInBase(tag.Count(), base));
  cells.push_back(FormatInBase(tag.ValuePos(), base));
}

// The heading names the directory as its row captions do; SubIFDs need no kind word.
std::string DirectoryHeading(const TTiffDirectory& directory, const std::string& qualified) {
  return directory.Kind() == TDirectoryKind::SubIfd ? qualified : qualified + " directory";
}

// A sub-directory's block, then its own children's blocks, in file order. A child is named after
// its parent when it has one, as an Exif directory inside "SubIFD 1" is "SubIFD 1/Exif".
void AddDirectoryBlocks(std::vector<TReportRow>& rows, const std::vector<TTiffDirectory>& children,
                        const std::string& parent, TDisplayBase base, TValueBudget& budget) {
  for (const TTiffDirectory& directory : children) {
    const std::string name = parent.empty() ? directory.Name() : parent + '/' + directory.Name();
    rows.emplace_back();
    TReportRow& heading = rows.emplace_back();
    heading.SubItems = {FormatInBase(directory.DirectoryOffset(), base),
                        Decimal(directory.PointerTag()), DirectoryHeading(directory, name)};
    int number = 0;
    for (const TTag& tag : directory.Tags())
      AddTagRow(rows, ++number, tag, base, budget, name);
    AddDirectoryBlocks(rows, directory.SubDirectories(), name, base, budget);
  }
}

const char* GeoKeyPlace(std::uint16_t location) {
  switch (location) {
  case 0:
    return "inline";
  case 34736:
    return "GeoDoubleParams";
  case 34737:
    return "GeoAsciiParams";
  default:
    return nullptr;
  }
}

// One row per key: key number, name, value, where the value lives and its count. Six cells, so
// the editor never takes one for an entry.
void AddGeoKeyBlock(std::vector<TReportRow>& rows, const std::vector<TGeoKey>& keys,
                    TDisplayBase base, TValueBudget& budget) {
  if (keys.empty())
    return;
  rows.emplace_back();
  TReportRow& heading = rows.emplace_back();
  heading.SubItems = {"", "34735", "GeoTIFF keys"};
  int number = 0;
  for (const TGeoKey& key : keys) {
    TReportRow& row = rows.emplace_back();
    row.Caption = "GeoKey " + Decimal(++number);
    std::string value = budget.Spent() ? std::string() : ToUtf8(key.Value);
    budget.Spend(value);
    const char* place = GeoKeyPlace(key.Location);
    row.SubItems = {"",
                    Decimal(key.KeyId),
                    key.Name,
                    std::move(value),
                    place ? place : Decimal(key.Location),
                    FormatInBase(key.Count, base)};
  }
}

} // namespace

std::string FileNameOnly(const std::string& path) {
#ifdef _WIN32
  // Windows takes both slashes, and a drive letter before a relative path.
  const std::size_t separator = path.find_last_of("\\/:");
#else
  const std::size_t separator = path.find_last_of('/');
#endif
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string FormatInBase(std::uint64_t value, TDisplayBase base) {
  char buffer[24];
  std::to_chars_result result;
  if (base == TDisplayBase::Dec) {
    result = std::to_chars(buffer, buffer + sizeof buffer, value);
  } else {
    result = std::to_chars(buffer, buffer + sizeof buffer, value, 16);
    for (char* p = buffer; p != result.ptr; ++p) {
      if (*p >= 'a' && *p <= 'f')
        *p = static_cast<char>(*p - 'a' + 'A');
    }
  }
  return std::string(buffer, result.ptr);
}

TReportRows BuildReportRows(const TTiffFile& file, int page, TDisplayBase base,
                            bool subDirectories) {
  TReportRows report;
  report.FilePath = file.FileName();
  report.Page = page;
  std::vector<TReportRow>& rows = report.Rows;

  const TTiffPage* shown = file.Pages().GetPage(page - 1);
  rows.reserve(FixedRowCount + (shown ? static_cast<std::size_t>(shown->Tags().Count()) : 0));

  TReportRow& nameRow = rows.emplace_back();
  nameRow.SubItems = {"", "Filename", FileNameOnly(file.FileName())};
  AddLabelledRow(rows, "Total Pages", Decimal(file.PageCount()));
  AddLabelledRow(rows, "Current Page", Decimal(page));
  AddLabelledRow(rows, "Header Byte order", file.ByteOrderText());
  if (file.IsBigTiff())
    AddLabelledRow(rows, "Header Format", file.FormatText());
  rows.emplace_back();

  if (!shown) {
    report.InputFileWrong = true;
    return report;
  }
  TValueBudget budget(&file);
  try {
    int number = 0;
    for (const TTag& tag : shown->Tags())
      AddTagRow(rows, ++number, tag, base, budget);
    if (subDirectories) {
      AddDirectoryBlocks(rows, shown->SubDirectories(), {}, base, budget);
      AddGeoKeyBlock(rows, shown->GeoKeys(), base, budget);
    }
  } catch (const ELodestarError&) {
    report.InputFileWrong = true;
    if (budget.Spent())
      report.ValuesCutMessage = budget.Message();
    return report;
  }
  if (budget.Spent())
    report.ValuesCutMessage = budget.Message();
  rows.emplace_back();
  AddLabelledRow(rows, VersionRowLabel, VersionRowText);
  return report;
}

} // namespace lodestar
