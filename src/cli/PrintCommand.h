#pragma once

namespace CLI {
class App;
}

namespace lodestar::cli {

// Adds the "print" subcommand: the printed report of one page written as PDF.
void RegisterPrintCommand(CLI::App& app);

} // namespace lodestar::cli
