#pragma once

namespace CLI {
class App;
}

namespace lodestar::cli {

// Adds the "info" subcommand to the tool.
void RegisterInfoCommand(CLI::App& app);

} // namespace lodestar::cli
