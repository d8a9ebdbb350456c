#include "PrintCommand.h"

#include "ExitStatus.h"
#include "InfoCommand.h"
#include "ReportPdf.h"
#include "cLodestar.h"

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace lodestar::cli {

namespace {

struct TPrintOptions {
  std::string File;
  int Page = 1;
  bool Hex = false;
  std::string Pdf;
};

int RunPrint(const TPrintOptions& options) {
  // The page header names the file as given, made absolute.
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(options.File, ec);
  if (ec)
    path = options.File;
  std::vector<std::string> messages;
  TTiffFile file([&messages](const std::string& message) { messages.push_back(message); });
  try {
    file.SetFileName(path.lexically_normal().string());
  } catch (const ELodestarError& error) {
    for (const std::string& message : messages)
      PrintDiagnostic("warning", options.File, message);
    PrintDiagnostic("error", options.File, error.what());
    return ExitFailed;
  }
  if (const int status = CheckLoaded(file, options.File); status != ExitSuccess)
    return status;
  for (const std::string& message : messages)
    PrintDiagnostic("warning", options.File, message);

  const TReportRows rows =
      BuildReportRows(file, options.Page, options.Hex ? TDisplayBase::Hex : TDisplayBase::Dec);
  if (!rows.ValuesCutMessage.empty())
    PrintDiagnostic("warning", options.File, rows.ValuesCutMessage);
  if (rows.InputFileWrong)
    PrintDiagnostic("warning", options.File, InputFileWrongText);
  try {
    WriteReportPdf(DesignPrintJob(rows, TodayShortDate()), options.Pdf);
  } catch (const std::exception& error) {
    PrintDiagnostic("error", options.Pdf, error.what());
    return ExitFailed;
  }
  return ExitSuccess;
}

} // namespace

void RegisterPrintCommand(CLI::App& app) {
  auto options = std::make_shared<TPrintOptions>();
  CLI::App* print = app.add_subcommand(
      "print", "Write the printed report of one page as PDF (A4, 600 dots per inch)");
  print->add_option("FILE", options->File, "The TIFF file")->required();
  print->add_option("-p,--page", options->Page, "Page to print, from 1 (default 1)")
      ->type_name("N")
      ->check(PageNumber);
  print->add_flag("-x,--hex", options->Hex, "Positions and counts in hexadecimal");
  print->add_option("--pdf", options->Pdf, "The PDF file to write; replaced when it exists")
      ->type_name("OUT")
      ->required();
  print->callback([options] {
    const int status = RunPrint(*options);
    if (status != ExitSuccess)
      throw CLI::RuntimeError(status);
  });
}

} // namespace lodestar::cli
