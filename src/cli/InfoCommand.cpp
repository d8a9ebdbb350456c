#include "InfoCommand.h"

#include "CodePage.h"
#include "Diagnostics.h"
#include "ExitStatus.h"
#include "ReportRows.h"
#include "TLoadedFile.h"
#include "TValueBudget.h"
#include "cLodestar.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace lodestar::cli {

namespace {

struct TInfoOptions {
  std::string File;
  int Page = 1;
  bool Hex = false;
  bool Json = false;
};

void WriteListing(const TReportRows& report) {
  std::string out;
  out.reserve(report.Rows.size() * 64);
  for (const TReportRow& row : report.Rows) {
    out += VisibleText(row.Caption);
    for (const std::string& cell : row.SubItems) {
      out += '\t';
      out += VisibleText(cell);
    }
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
}

nlohmann::ordered_json TagJson(const TTag& tag, TValueBudget& budget) {
  nlohmann::ordered_json description = nullptr;
  if (!tag.TagNumber().empty())
    description = tag.Description();
  return {
      {"entry_pos", tag.EntryPos()},   {"tag_number", tag.TagNumber()},
      {"field_type", tag.FieldType()}, {"type_name", tag.TypeName()},
      {"count", tag.Count()},          {"value", budget.ValueText(tag)},
      {"value_pos", tag.ValuePos()},   {"description", std::move(description)},
  };
}

nlohmann::ordered_json TagsJson(const TTags& tags, TValueBudget& budget) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const TTag& tag : tags)
    list.push_back(TagJson(tag, budget));
  return list;
}

// Each directory with its own children inside it; a SubIFD chain's members are siblings.
nlohmann::ordered_json DirectoriesJson(const std::vector<TTiffDirectory>& directories,
                                       TValueBudget& budget) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const TTiffDirectory& directory : directories)
    list.push_back({
        {"name", directory.Name()},
        {"pointer_tag", std::to_string(directory.PointerTag())},
        {"directory_offset", directory.DirectoryOffset()},
        {"tags", TagsJson(directory.Tags(), budget)},
        {"subdirectories", DirectoriesJson(directory.SubDirectories(), budget)},
    });
  return list;
}

nlohmann::ordered_json GeoKeysJson(const std::vector<TGeoKey>& keys, TValueBudget& budget) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const TGeoKey& key : keys) {
    std::string value = budget.Spent() ? std::string() : ToUtf8(key.Value);
    budget.Spend(value);
    list.push_back({{"key", key.KeyId},
                    {"name", key.Name},
                    {"location", key.Location},
                    {"count", key.Count},
                    {"value", std::move(value)}});
  }
  return list;
}

// wholeFile: the members that sub-directories, GeoTIFF keys and BigTIFF brought; a document
// without any of them keeps the shape earlier releases wrote.
nlohmann::ordered_json PageJson(const TTiffPage& page, int number, TValueBudget& budget,
                                bool wholeFile) {
  nlohmann::ordered_json json = {
      {"page", number},
      {"directory_offset", page.DirectoryOffset()},
      {"tags", TagsJson(page.Tags(), budget)},
  };
  if (wholeFile) {
    json["subdirectories"] = DirectoriesJson(page.SubDirectories(), budget);
    json["geokeys"] = GeoKeysJson(page.GeoKeys(), budget);
  }
  return json;
}

bool NeedsWholeFileShape(const TTiffFile& file) {
  if (file.IsBigTiff())
    return true;
  for (const TTiffPage& page : file.Pages())
    if (!page.SubDirectories().empty() || !page.GeoKeys().empty())
      return true;
  return false;
}

// Paths and texts taken from the file system need not be UTF-8; they are written with the
// replacement character rather than breaking the document.
std::string Dump(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

void Write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

// A file of many pages would take a hundred times its size as one JSON tree, so the document is
// written a page at a time, each page on a line of its own; the library still writes every value.
void WriteFileJson(const TTiffFile& file, const std::string& path,
                   std::vector<std::string> messages) {
  const bool wholeFile = NeedsWholeFileShape(file);
  Write("{\"file\":" + Dump(path) + ",\"byte_order\":" + Dump(file.ByteOrderText()) +
        (wholeFile ? ",\"format\":" + Dump(file.FormatText()) : std::string()) +
        ",\"page_count\":" + Dump(file.PageCount()) + ",\"pages\":[\n");
  std::string cut;
  for (int index = 0; index < file.PageCount(); ++index) {
    TValueBudget budget(&file);
    Write(Dump(PageJson(*file.Pages().GetPage(index), index + 1, budget, wholeFile)));
    Write(index + 1 < file.PageCount() ? ",\n" : "\n");
    if (budget.Spent())
      cut = budget.Message();
  }
  if (!cut.empty())
    messages.push_back(cut); // once for the document, however many pages were cut
  Write("],\"messages\":" + Dump(messages) + "}\n");
}

int RunInfo(const TInfoOptions& options) {
  const TLoadedFile loaded(options.File);
  const TTiffFile& file = loaded.File();
  if (options.Json) {
    if (!loaded.Raised().empty()) {
      Write(Dump({{"file", options.File}, {"error", loaded.Raised()}}) + "\n");
      const int status = FinishStandardOutput(ExitFailed);
      loaded.Report();
      return status;
    }
    if (const int status = loaded.ReportFailure(); status != ExitSuccess)
      return status;
    WriteFileJson(file, options.File, loaded.Messages());
    return FinishStandardOutput(ExitSuccess);
  }

  if (const int status = loaded.Report(); status != ExitSuccess)
    return status;
  if (const int status = loaded.CheckPage(options.Page); status != ExitSuccess)
    return status;
  const TReportRows report =
      BuildReportRows(file, options.Page, options.Hex ? TDisplayBase::Hex : TDisplayBase::Dec);
  if (!report.ValuesCutMessage.empty())
    ReportWarning(options.File, report.ValuesCutMessage);
  WriteListing(report);
  const int status = FinishStandardOutput(ExitSuccess);
  if (report.InputFileWrong)
    ReportWarning(options.File, InputFileWrongText);
  return status;
}

} // namespace

const CLI::Validator PageNumber(
    [](std::string& text) {
      int page = 0;
      const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), page);
      if (error == std::errc() && end == text.data() + text.size() && page >= 1)
        return std::string();
      return "pages are numbered from 1; '" + text + "' names none";
    },
    "");

void RegisterInfoCommand(CLI::App& app) {
  auto options = std::make_shared<TInfoOptions>();
  CLI::App* info =
      app.add_subcommand("info", "Print the tag listing of one page, or the whole file as JSON");
  info->add_option("FILE", options->File, "The TIFF file")->required();
  auto* page = info->add_option("-p,--page", options->Page, "Page to list, from 1 (default 1)")
                   ->type_name("N")
                   ->check(PageNumber);
  auto* hex = info->add_flag("-x,--hex", options->Hex, "Positions and counts in hexadecimal");
  info->add_flag("-j,--json", options->Json, "Every page of the file as one JSON object")
      ->excludes(page)
      ->excludes(hex);
  info->callback([options] {
    const int status = RunInfo(*options);
    if (status != ExitSuccess)
      throw CLI::RuntimeError(status);
  });
}

} // namespace lodestar::cli
