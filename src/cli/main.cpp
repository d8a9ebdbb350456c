#include "BatchCommand.h"
#include "EditCommand.h"
#include "InfoCommand.h"
#ifdef LODESTAR_PRINT
#include "PrintCommand.h"
#endif

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <string>

namespace {

// Exit status for anything the command line itself got wrong; CLI11's own codes are finer than
// scripts need.
constexpr int ExitUsage = 2;

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
    return app.exit(error) == 0 ? 0 : ExitUsage;
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "lodestar-cli: error: %s\n", error.what());
    return 1;
  }
  return 0;
}
