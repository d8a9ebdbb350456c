#include "PrintCommand.h"

#include "Diagnostics.h"
#include "ExitStatus.h"
#include "InfoCommand.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

namespace lodestar::cli {

namespace {

struct TPrintOptions {
  std::string File;
  int Page = 1;
  bool Hex = false;
  std::string Pdf;
};

// The helper lies at a fixed place relative to this program, whether installed, unpacked into a
// scratch root or in the build tree. Without /proc there is no place to start from, and a path
// relative to the working directory would run whatever lies there.
std::filesystem::path PrintHelper(std::error_code& ec) {
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return self.parent_path() / LODESTAR_PRINT_FROM_BIN / "lodestar-print";
}

// Replaces this process with the helper, so its status and any signal that ends it are the
// tool's; returns only when it could not be run.
int RunPrint(const TPrintOptions& options) {
  std::error_code ec;
  const std::string helper = PrintHelper(ec).string();
  if (ec) {
    ReportError("/proc/self/exe", "cannot find the print helper: " + ec.message());
    return ExitFailed;
  }
  const std::string page = std::to_string(options.Page);
  const char* argv[] = {"lodestar-print",    options.File.c_str(),
                        page.c_str(),        options.Hex ? "hex" : "dec",
                        options.Pdf.c_str(), nullptr};
  std::fflush(nullptr);
  ::execv(helper.c_str(), const_cast<char* const*>(argv));
  ReportError(helper, std::string("cannot run the print helper: ") + std::strerror(errno));
  return ExitFailed;
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
