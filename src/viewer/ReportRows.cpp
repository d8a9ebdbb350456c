#include "ReportRows.h"

#include "CodePage.h"
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
void AddTagRow(std::vector<TReportRow>& rows, int number, const TTag& tag, TDisplayBase base) {
  TReportRow& row = rows.emplace_back();
  row.Caption = Decimal(number);
  std::vector<std::string>& cells = row.SubItems;
  cells.reserve(TagRowCells);
  cells.push_back(FormatInBase(tag.EntryPos(), base));
  cells.push_back(tag.TagNumber());
  cells.push_back(tag.Description()); // a blank tag raises here
  cells.push_back(ToUtf8(tag.Value()));
  cells.emplace_back(tag.TypeName());
  cells.push_back(FormatInBase(tag.Count(), base));
  cells.push_back(FormatInBase(tag.ValuePos(), base));
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

TReportRows BuildReportRows(const TTiffFile& file, int page, TDisplayBase base) {
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
  rows.emplace_back();

  if (!shown) {
    report.InputFileWrong = true;
    return report;
  }
  try {
    int number = 0;
    for (const TTag& tag : shown->Tags())
      AddTagRow(rows, ++number, tag, base);
  } catch (const ELodestarError&) {
    report.InputFileWrong = true;
    return report;
  }
  rows.emplace_back();
  AddLabelledRow(rows, VersionRowLabel, VersionRowText);
  return report;
}

} // namespace lodestar
