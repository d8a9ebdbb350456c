#include "EditCommand.h"

#include "CodePage.h"
#include "Diagnostics.h"
#include "EscapeControls.h"
#include "ExitStatus.h"
#include "InfoCommand.h"
#include "ReportRows.h"
#include "TAsciiEdit.h"
#include "TLoadedFile.h"
#include "cLodestar.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <variant>
#include <vector>

namespace lodestar::cli {

namespace {

struct TEditOptions {
  std::string File;
  int Page = 1;
  std::string Entry; // a listing's "Nr": "3", or "Exif 3" in a sub-directory
  std::string Text;
};

int Fail(const std::string& file, const std::string& message) {
  ReportError(file, message);
  return ExitFailed;
}

std::string Decimal(std::int64_t value) {
  return std::to_string(value);
}

// The entry row whose "Nr" cell is entry, or null; rows without an entry (headings, GeoTIFF keys)
// are never found.
const TReportRow* FindEntry(const TReportRows& rows, const std::string& entry) {
  for (const TReportRow& row : rows.Rows)
    if (row.Entry && row.Caption == entry)
      return &row;
  return nullptr;
}

// "0012" names entry 12 as it did when entries were numbers only.
std::string Canonical(const std::string& entry) {
  const std::size_t space = entry.rfind(' ');
  const std::size_t digits = space == std::string::npos ? 0 : space + 1;
  std::uint64_t number = 0;
  std::from_chars(entry.data() + digits, entry.data() + entry.size(), number);
  return entry.substr(0, digits) + std::to_string(number);
}

int RunEdit(const TEditOptions& options) {
  const std::string& path = options.File;
  // Only the text as given is written, so it must fit the code page before anything else.
  if (!IsUtf8(options.Text))
    return Fail(path, "the text is not valid UTF-8");
  const std::u16string text = FromUtf8(options.Text);
  if (!FitsCodePage(text))
    return Fail(path, "the text holds characters that Windows-1252 cannot store");

  const TLoadedFile loaded(path);
  if (const int status = loaded.Report(); status != ExitSuccess)
    return status;
  const TTiffFile& file = loaded.File();
  if (const int status = loaded.CheckPage(options.Page); status != ExitSuccess)
    return status;

  const TReportRows rows = BuildReportRows(file, options.Page, TDisplayBase::Dec);
  const std::string entry = Canonical(options.Entry);
  const TReportRow* row = FindEntry(rows, entry);
  if (!row)
    return Fail(path, "page " + Decimal(options.Page) + " has no entry " + entry);
  auto target = AsciiTargetOfRow(*row, path, TDisplayBase::Dec);
  if (const auto* refused = std::get_if<TEditResult>(&target)) {
    if (refused->Outcome == TEditOutcome::NothingToEdit)
      return Fail(path, "entry " + entry + " has a count of " + row->SubItems[5] +
                            ": there is no byte to write");
    return Fail(path, refused->Message);
  }
  const TAsciiTarget& value = std::get<TAsciiTarget>(target);
  // The window cannot take more characters than fit; a script is told instead of cut short.
  const std::int32_t room = value.LengthToWrite();
  if (text.size() > static_cast<std::size_t>(room))
    return Fail(path, "the text has " + Decimal(static_cast<std::int64_t>(text.size())) +
                          (text.size() == 1 ? " character; entry " : " characters; entry ") +
                          entry + " holds at most " + Decimal(room));

  const TEditResult result = WriteAsciiValue(value, TextToWrite(text, room));
  if (result.Outcome != TEditOutcome::Written)
    return Fail(path, result.Detail.empty() ? result.Message
                                            : result.Message + " (" + result.Detail + ")");
  std::printf("wrote %d bytes at position %lld: \"%s\"\n", room,
              static_cast<long long>(value.Position), ToUtf8(DecodeNarrow(result.Written)).c_str());
  // The file is written by now; a lost confirmation does not undo that.
  if (std::fflush(stdout) != 0 || std::ferror(stdout))
    ReportLine("warning", "writing standard output failed");
  return ExitSuccess;
}

// A number from 1, alone or after a sub-directory's name and one blank ("Exif 3").
const CLI::Validator EntryNumber(
    [](std::string& text) {
      const std::size_t space = text.rfind(' ');
      const std::size_t digits = space == std::string::npos ? 0 : space + 1;
      int entry = 0;
      const auto [end, error] =
          std::from_chars(text.data() + digits, text.data() + text.size(), entry);
      if (error == std::errc() && end == text.data() + text.size() && entry >= 1 && digits != 1 &&
          text.find_first_not_of(' ') < text.size())
        return std::string();
      return "'" + text + "' is not an entry number; entries are numbered from 1";
    },
    "");

} // namespace

void RegisterEditCommand(CLI::App& app) {
  auto options = std::make_shared<TEditOptions>();
  CLI::App* edit = app.add_subcommand(
      "edit", "Overwrite the text of one Ascii tag in place, padded with blanks to its length");
  edit->add_option("FILE", options->File, "The TIFF file, changed in place")->required();
  edit->add_option("-p,--page", options->Page, "Page of the entry, from 1 (default 1)")
      ->type_name("N")
      ->check(PageNumber);
  edit->add_option("-e,--entry", options->Entry,
                   "The entry's \"Nr\" in the page's listing: 3, or \"Exif 3\" in a sub-directory")
      ->type_name("K")
      ->required()
      ->check(EntryNumber);
  edit->add_option("-t,--text", options->Text, "The new text; the value's last byte stays NUL")
      ->type_name("TEXT")
      ->required();
  edit->callback([options] {
    const int status = RunEdit(*options);
    if (status != ExitSuccess)
      throw CLI::RuntimeError(status);
  });
}

} // namespace lodestar::cli
