#include "TRecordPlan.h"

#include "TRecordFormat.h"
#include "TSearchList.h"
#include "TValueBudget.h"
#include "TagPath.h"
#include "cLodestar.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <set>

namespace lodestar {

namespace {

using TJson = nlohmann::ordered_json;

// The entries a number text names are those whose number text equals it, and an entry's text is
// its code in decimal without leading zeros: any other text names no entry.
bool ParseCode(std::string_view number, std::uint16_t& code) {
  if (number.empty() || number.size() > 5 || (number.size() > 1 && number.front() == '0'))
    return false;
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc() || end != number.data() + number.size() || value > 0xFFFF)
    return false;
  code = static_cast<std::uint16_t>(value);
  return true;
}

// The ndjson key of an item: its label, else its number; a key taken before gains "#2", "#3".
std::string ValueKey(const std::string& item, std::set<std::string>& used) {
  auto label = ItemDescription(item);
  std::string key = label && !label->empty() ? *label : GetTagNumber(item);
  std::string unique = key;
  for (int n = 2; !used.insert(unique).second; ++n)
    unique = key + "#" + std::to_string(n);
  return unique;
}

// Appends a value text as a cell holds it: trimmed when asked, UTF-8, without NUL characters,
// since a record is a line of text and a pane line would end at its first NUL.
void AppendValueText(std::string& out, const TTag& tag, bool trim, TValueBudget& budget) {
  if (budget.Spent()) {
    out += TValueBudget::CutMark;
    return;
  }
  const std::size_t start = out.size();
  tag.AppendValueUtf8(out);
  if (trim) {
    // Characters up to U+0020 are single bytes in UTF-8, and no byte of a longer one is that low.
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t end = out.size();
    while (end > start && blank(out[end - 1]))
      --end;
    out.resize(end);
    std::size_t first = start;
    while (first < end && blank(out[first]))
      ++first;
    out.erase(start, first - start);
  }
  out.erase(std::remove(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '\0'),
            out.end());
  if (budget.Take(out.size() - start))
    return;
  std::string text(out, start);
  out.resize(start);
  budget.Spend(text);
  out += text;
}

// Invalid UTF-8 (a file name in another encoding) becomes U+FFFD: JSON text must be UTF-8.
std::string Dump(const TJson& json) {
  return json.dump(-1, ' ', false, TJson::error_handler_t::replace);
}

} // namespace

TRecordPlan::TRecordPlan(const TRecordOptions& options) : FOptions(options) {
  std::set<std::string> used;
  FColumns.reserve(options.TickedItems.size());
  for (const std::string& item : options.TickedItems) {
    TColumn& column = FColumns.emplace_back();
    const std::string number = GetTagNumber(item);
    if (IsTagPath(number)) {
      column.Match = TMatch::Path;
      column.Steps = TagPathSteps(number);
    } else if (number.empty()) {
      column.Match = TMatch::Unnumbered;
    } else if (ParseCode(number, column.Code)) {
      column.Match = TMatch::Code;
    }
    if (options.Format == TRecordFormat::Ndjson)
      column.Key = ValueKey(item, used);
  }
}

void TRecordPlan::Collect(const TColumn& column, const TTiffPage& page,
                          std::vector<const TTag*>& found) const {
  found.clear();
  switch (column.Match) {
  case TMatch::Code:
    for (const TTag& tag : page.Tags().ReadTags())
      if (tag.Code() == column.Code && tag.HasNumber())
        found.push_back(&tag);
    break;
  case TMatch::Path:
    AppendEntriesAt(page, column.Steps, found);
    break;
  case TMatch::Unnumbered:
    // The blank tags past the end of the file are the only ones the other items never walk.
    for (const TTag& tag : page.Tags())
      if (!tag.HasNumber())
        found.push_back(&tag);
    break;
  case TMatch::Nothing:
    break;
  }
}

void TRecordPlan::AppendTagValues(std::string& record, const TTiffPage& page,
                                  TRecordScratch& scratch) const {
  const bool csv = FOptions.Format == TRecordFormat::Csv;
  TValueBudget budget(page.OwnerFile());
  for (const TColumn& column : FColumns) {
    Collect(column, page, scratch.Found);
    record += FOptions.Separator;
    if (scratch.Found.empty()) {
      record += "\"\"";
    } else if (csv) {
      // One cell per item, so every row has the header's columns: the values of an entry that a
      // page holds more than once share it, one line each.
      std::string& joined = scratch.Cell;
      joined.clear();
      for (std::size_t i = 0; i < scratch.Found.size(); ++i) {
        if (i > 0)
          joined += '\n';
        AppendValueText(joined, *scratch.Found[i], FOptions.TrimValue, budget);
      }
      AppendCell(record, joined, FOptions.Format);
    } else {
      for (std::size_t i = 0; i < scratch.Found.size(); ++i) {
        const TTag* tag = scratch.Found[i];
        if (i > 0)
          record += FOptions.Separator;
        record += '"';
        AppendValueText(record, *tag, FOptions.TrimValue, budget);
        record += '"';
      }
    }
  }
}

void TRecordPlan::AppendJsonPage(std::string& record, std::string_view directoryPart,
                                 std::string_view name, int pageNumber, const TTiffPage& page,
                                 TRecordScratch& scratch) const {
  TJson values = TJson::object();
  TValueBudget budget(page.OwnerFile());
  for (const TColumn& column : FColumns) {
    Collect(column, page, scratch.Found);
    TJson value; // null: the page has no such entry
    for (const TTag* tag : scratch.Found) {
      scratch.Cell.clear();
      AppendValueText(scratch.Cell, *tag, FOptions.TrimValue, budget);
      if (value.is_null())
        value = scratch.Cell;
      else if (value.is_string())
        value = TJson::array({std::move(value), scratch.Cell});
      else
        value.push_back(scratch.Cell);
    }
    values[column.Key] = std::move(value);
  }
  TJson json = TJson::object();
  json["path"] = std::string(directoryPart) + std::string(name);
  json["file"] = std::string(name);
  json["page"] = pageNumber;
  json["values"] = std::move(values);
  record += Dump(json);
}

void TRecordPlan::AppendPageRecord(std::string& record, std::string_view directoryPart,
                                   std::string_view name, int pageNumber, const TTiffPage& page,
                                   TRecordScratch& scratch) const {
  const TRecordFormat format = FOptions.Format;
  if (format == TRecordFormat::Ndjson) {
    AppendJsonPage(record, directoryPart, name, pageNumber, page, scratch);
    return;
  }
  if (FOptions.SplitPath) {
    AppendCell(record, directoryPart, format);
    record += FOptions.Separator;
    AppendCell(record, name, format);
  } else {
    record += '"';
    AppendCellText(record, directoryPart, format);
    AppendCellText(record, name, format);
    record += '"';
  }
  record += FOptions.Separator;
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, pageNumber).ptr;
  record += '"';
  record.append(digits, end);
  record += '"';
  AppendTagValues(record, page, scratch);
}

} // namespace lodestar
