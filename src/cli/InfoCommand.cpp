#include "InfoCommand.h"

#include "CodePage.h"
#include "ExitStatus.h"
#include "ReportRows.h"
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
#include <system_error>
#include <vector>

namespace lodestar::cli {

namespace {

struct TInfoOptions {
  std::string File;
  int Page = 1;
  bool Hex = false;
  bool Json = false;
};

} // namespace

void PrintDiagnostic(const char* kind, const std::string& file, const std::string& message) {
  std::fprintf(stderr, "lodestar-cli: %s: '%s': %s\n", kind, file.c_str(), message.c_str());
}

namespace {

// Standard output may be a full disk or a closed pipe; a listing that did not arrive must not
// end with success.
int FinishOutput(int status) {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "lodestar-cli: error: writing standard output failed\n");
    return ExitFailed;
  }
  return status;
}

} // namespace

// The reader loads nothing, without raising, when the name is no file; the listing would then
// claim an empty file. Returns the exit status for that, or ExitSuccess when the file loaded.
int CheckLoaded(const TTiffFile& file, const std::string& name) {
  switch (file.LoadStatus()) {
  case TLoadStatus::None: // an empty name equals the fresh file's and loads nothing
    PrintDiagnostic("error", name,
                    std::make_error_code(std::errc::no_such_file_or_directory).message());
    return ExitUsage;
  case TLoadStatus::NotFound:
  case TLoadStatus::IsDirectory:
    PrintDiagnostic("error", name, file.LoadError().message());
    return ExitUsage;
  case TLoadStatus::Unreachable: // e.g. under a directory without search rights
    PrintDiagnostic("error", name, file.LoadError().message());
    return ExitFailed;
  default:
    return ExitSuccess;
  }
}

namespace {

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

nlohmann::ordered_json PageJson(const TTiffPage& page, int number, TValueBudget& budget) {
  nlohmann::ordered_json tags = nlohmann::ordered_json::array();
  for (const TTag& tag : page.Tags())
    tags.push_back(TagJson(tag, budget));
  return {
      {"page", number},
      {"directory_offset", page.DirectoryOffset()},
      {"tags", std::move(tags)},
  };
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
  Write("{\"file\":" + Dump(path) + ",\"byte_order\":" + Dump(file.ByteOrderText()) +
        ",\"page_count\":" + Dump(file.PageCount()) + ",\"pages\":[\n");
  std::string cut;
  for (int index = 0; index < file.PageCount(); ++index) {
    TValueBudget budget(&file);
    Write(Dump(PageJson(*file.Pages().GetPage(index), index + 1, budget)));
    Write(index + 1 < file.PageCount() ? ",\n" : "\n");
    if (budget.Spent())
      cut = budget.Message();
  }
  if (!cut.empty())
    messages.push_back(cut); // once for the document, however many pages were cut
  Write("],\"messages\":" + Dump(messages) + "}\n");
}

int RunInfo(const TInfoOptions& options) {
  std::vector<std::string> messages;
  TTiffFile file([&messages](const std::string& message) { messages.push_back(message); });
  try {
    file.SetFileName(options.File);
  } catch (const ELodestarError& error) {
    if (options.Json)
      Write(Dump({{"file", options.File}, {"error", error.what()}}) + "\n");
    const int status = FinishOutput(ExitFailed);
    for (const std::string& message : messages)
      PrintDiagnostic("warning", options.File, message);
    PrintDiagnostic("error", options.File, error.what());
    return status;
  }
  if (const int status = CheckLoaded(file, options.File); status != ExitSuccess)
    return status;

  if (options.Json) {
    WriteFileJson(file, options.File, messages);
    return FinishOutput(ExitSuccess);
  }

  for (const std::string& message : messages)
    PrintDiagnostic("warning", options.File, message);
  const TReportRows report =
      BuildReportRows(file, options.Page, options.Hex ? TDisplayBase::Hex : TDisplayBase::Dec);
  if (!report.ValuesCutMessage.empty())
    PrintDiagnostic("warning", options.File, report.ValuesCutMessage);
  WriteListing(report);
  const int status = FinishOutput(ExitSuccess);
  if (report.InputFileWrong)
    PrintDiagnostic("warning", options.File, InputFileWrongText);
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
