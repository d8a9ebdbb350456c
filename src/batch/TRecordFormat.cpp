#include "TRecordFormat.h"

#include "CodePage.h"
#include "TSearchList.h"
#include "cLodestar.h"

#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <set>

namespace lodestar {

namespace {

using TJson = nlohmann::ordered_json;

void AppendCell(std::string& record, std::string_view text, TRecordFormat format) {
  record += '"';
  if (format == TRecordFormat::Csv) {
    // RFC 4180: a quote inside a quoted cell is doubled; line breaks stay as they are.
    for (auto quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"')) {
      record.append(text.substr(0, quote + 1));
      record += '"';
      text.remove_prefix(quote + 1);
    }
  }
  record += text;
  record += '"';
}

// A value text as a cell holds it: trimmed when asked, UTF-8, without NUL characters, since a
// record is a line of text and a pane line would end at its first NUL.
std::string CellText(const TTag& tag, bool trim) {
  const std::u16string whole = tag.Value();
  std::u16string_view value = whole;
  if (trim) {
    while (!value.empty() && value.front() <= 32)
      value.remove_prefix(1);
    while (!value.empty() && value.back() <= 32)
      value.remove_suffix(1);
  }
  std::string text = ToUtf8(value);
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

// Invalid UTF-8 (a file name in another encoding) becomes U+FFFD: JSON text must be UTF-8.
std::string Dump(const TJson& json) {
  return json.dump(-1, ' ', false, TJson::error_handler_t::replace);
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

void AppendJsonPage(std::string& record, const TRecordOptions& options,
                    std::string_view directoryPart, std::string_view name, int pageNumber,
                    const TTiffPage& page) {
  TJson values = TJson::object();
  std::set<std::string> used;
  for (const auto& item : options.TickedItems) {
    const std::string number = GetTagNumber(item);
    TJson value; // null: the page has no such entry
    for (const auto& tag : page.Tags()) {
      if (tag.TagNumber() != number)
        continue;
      std::string text = CellText(tag, options.TrimValue);
      if (value.is_null())
        value = std::move(text);
      else if (value.is_string())
        value = TJson::array({std::move(value), std::move(text)});
      else
        value.push_back(std::move(text));
    }
    values[ValueKey(item, used)] = std::move(value);
  }
  TJson json = TJson::object();
  json["path"] = std::string(directoryPart) + std::string(name);
  json["file"] = std::string(name);
  json["page"] = pageNumber;
  json["values"] = std::move(values);
  record += Dump(json);
}

} // namespace

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
  if (options.Format == TRecordFormat::Ndjson) {
    AppendJsonPage(record, options, directoryPart, name, pageNumber, page);
    return;
  }
  if (options.SplitPath) {
    AppendCell(record, directoryPart, options.Format);
    record += options.Separator;
    AppendCell(record, name, options.Format);
  } else if (options.Format == TRecordFormat::Csv) {
    AppendCell(record, std::string(directoryPart) + std::string(name), options.Format);
  } else {
    record += '"';
    record += directoryPart;
    record += name;
    record += '"';
  }
  record += options.Separator;
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, pageNumber).ptr;
  AppendCell(record, std::string_view(digits, static_cast<std::size_t>(end - digits)),
             options.Format);
  AppendTagValues(record, page, options);
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
  const bool csv = options.Format == TRecordFormat::Csv;
  std::string joined;
  for (const auto& item : options.TickedItems) {
    const std::string number = GetTagNumber(item);
    bool matched = false;
    joined.clear();
    const auto visit = [&](const TTag& tag) {
      if (tag.TagNumber() != number)
        return;
      if (csv) {
        // One cell per item, so every row has the header's columns: the values of an entry that
        // a page holds more than once share it, one line each.
        if (matched)
          joined += '\n';
        joined += CellText(tag, options.TrimValue);
      } else {
        record += options.Separator;
        AppendCell(record, CellText(tag, options.TrimValue), options.Format);
      }
      matched = true;
    };
    // The blank tags past the end of the file have no number: only an item without digits can
    // match them, and the others need not walk them.
    if (number.empty())
      for (const TTag& tag : page.Tags())
        visit(tag);
    else
      for (const TTag& tag : page.Tags().ReadTags())
        visit(tag);
    if (csv && matched) {
      record += options.Separator;
      AppendCell(record, joined, options.Format);
    } else if (!matched) {
      record += options.Separator;
      record += "\"\"";
    }
  }
}

} // namespace lodestar
