#include "TRecordFormat.h"

#include "TRecordPlan.h"
#include "TSearchList.h"

#include <nlohmann/json.hpp>

namespace lodestar {

namespace {

using TJson = nlohmann::ordered_json;

// Invalid UTF-8 (a file name in another encoding) becomes U+FFFD: JSON text must be UTF-8.
std::string Dump(const TJson& json) {
  return json.dump(-1, ' ', false, TJson::error_handler_t::replace);
}

} // namespace

void AppendCellText(std::string& record, std::string_view text, TRecordFormat format) {
  if (format == TRecordFormat::Csv) {
    // RFC 4180: a quote inside a quoted cell is doubled; line breaks stay as they are.
    for (auto quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"')) {
      record.append(text.substr(0, quote + 1));
      record += '"';
      text.remove_prefix(quote + 1);
    }
  }
  record += text;
}

void AppendCell(std::string& record, std::string_view text, TRecordFormat format) {
  record += '"';
  AppendCellText(record, text, format);
  record += '"';
}

std::optional<std::string> HeaderRecord(const TRecordOptions& options) {
  if (options.Format == TRecordFormat::Ndjson)
    return std::nullopt;
  std::string record;
  if (options.SplitPath) {
    AppendCell(record, "Path", options.Format);
    record += options.Separator;
  }
  AppendCell(record, "Filename", options.Format);
  // The page label stands in the header in both page modes, since every row carries its page.
  record += options.Separator;
  AppendCell(record, "Page", options.Format);
  for (const auto& item : options.TickedItems) {
    const auto description = ItemDescription(item);
    if (description) {
      record += options.Separator;
      AppendCell(record, *description, options.Format);
    } else if (options.Format == TRecordFormat::Csv) {
      // Every value column has its label in CSV; an item without one is named by its number.
      record += options.Separator;
      AppendCell(record, GetTagNumber(item), options.Format);
    }
  }
  if (options.CheckFiles)
    for (const char* name : {"Verdict", "Findings"}) {
      record += options.Separator;
      AppendCell(record, name, options.Format);
    }
  return record;
}

void AppendPageRecord(std::string& record, const TRecordOptions& options,
                      std::string_view directoryPart, std::string_view name, int pageNumber,
                      const TTiffPage& page) {
  TRecordScratch scratch;
  TRecordPlan(options).AppendPageRecord(record, directoryPart, name, pageNumber, page, scratch);
}

void AppendCheckCells(std::string& record, const TRecordOptions& options, std::string_view verdict,
                      std::size_t findings) {
  if (options.Format == TRecordFormat::Ndjson) {
    // The page's object gains two members before its closing brace.
    record.pop_back();
    record +=
        ",\"verdict\":" + Dump(TJson(verdict)) + ",\"findings\":" + std::to_string(findings) + "}";
    return;
  }
  record += options.Separator;
  AppendCell(record, verdict, options.Format);
  record += options.Separator;
  AppendCell(record, std::to_string(findings), options.Format);
}

void AppendTagValues(std::string& record, const TTiffPage& page, const TRecordOptions& options) {
  TRecordScratch scratch;
  TRecordPlan(options).AppendTagValues(record, page, scratch);
}

} // namespace lodestar
