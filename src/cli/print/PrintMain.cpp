// lodestar-print: the part of `lodestar-cli print` that draws with Qt's fonts, a program of its own
// so that every other subcommand starts without loading Qt. lodestar-cli runs it with the command
// line it has already checked:
//   lodestar-print FILE PAGE dec|hex OUT
// and it speaks on standard error as lodestar-cli does.

#include "Diagnostics.h"
#include "ExitStatus.h"
#include "ReportPdf.h"
#include "TLoadedFile.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace lodestar::cli {
namespace {

int RunPrint(const std::string& name, int page, TDisplayBase base, const std::string& pdf) {
  // The page header names the file as given, made absolute.
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(name, ec);
  if (ec)
    path = name;
  const TLoadedFile loaded(name, path.lexically_normal().string());
  if (const int status = loaded.Report(); status != ExitSuccess)
    return status;
  if (const int status = loaded.CheckPage(page); status != ExitSuccess)
    return status;

  const TReportRows rows = BuildReportRows(loaded.File(), page, base);
  if (!rows.ValuesCutMessage.empty())
    ReportWarning(name, rows.ValuesCutMessage);
  if (rows.InputFileWrong)
    ReportWarning(name, InputFileWrongText);
  try {
    WriteReportPdf(DesignPrintJob(rows, TodayShortDate()), pdf);
  } catch (const std::exception& error) {
    ReportError(pdf, error.what());
    return ExitFailed;
  }
  return ExitSuccess;
}

} // namespace
} // namespace lodestar::cli

int main(int argc, char** argv) {
  using namespace lodestar::cli;
  int page = 0;
  const std::string_view pageText = argc == 5 ? argv[2] : "";
  const auto [end, error] = std::from_chars(pageText.begin(), pageText.end(), page);
  const std::string_view base = argc == 5 ? argv[3] : "";
  if (error != std::errc() || end != pageText.end() || page < 1 ||
      (base != "dec" && base != "hex")) {
    std::fprintf(stderr, "lodestar-print: run by lodestar-cli print, not on its own\n");
    return ExitUsage;
  }
  return RunPrint(argv[1], page,
                  base == "hex" ? lodestar::TDisplayBase::Hex : lodestar::TDisplayBase::Dec,
                  argv[4]);
}
