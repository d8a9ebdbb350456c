#include "BatchCommand.h"
#include "CheckCommand.h"
#include "EditCommand.h"
#include "ExitStatus.h"
#include "InfoCommand.h"
#ifdef LODESTAR_PRINT
#include "PrintCommand.h"
#endif

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <string>

namespace {

std::string FailureMessage(const CLI::App*, const CLI::Error& error) {
  return std::string("lodestar-cli: error: ") + error.what() +
         "\nRun with --help for more information.\n";
}

} // namespace

// Subcommands report a failed run by throwing CLI::RuntimeError with their exit status.
int main(int argc, char** argv) {
  CLI::App app("Shows the tag structure of TIFF files.", "lodestar-cli");
  app.set_version_flag("--version", "lodestar-cli " LODESTAR_VERSION);
  app.require_subcommand(1);
  app.failure_message(FailureMessage);
  lodestar::cli::RegisterInfoCommand(app);
  lodestar::cli::RegisterBatchCommand(app);
  lodestar::cli::RegisterCheckCommand(app);
  lodestar::cli::RegisterEditCommand(app);
#ifdef LODESTAR_PRINT
  lodestar::cli::RegisterPrintCommand(app);
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::RuntimeError& error) {
    return error.get_exit_code();
  } catch (const CLI::ParseError& error) {
    std::fflush(stdout);
    // CLI11's own codes are finer than scripts need.
    return app.exit(error) == 0 ? lodestar::cli::ExitSuccess : lodestar::cli::ExitUsage;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "lodestar-cli: error: %s\n", error.what());
    return lodestar::cli::ExitFailed;
  }
  return lodestar::cli::ExitSuccess;
}
