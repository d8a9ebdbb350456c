#pragma once

namespace CLI {
class App;
}

namespace lodestar::cli {

// Adds the "check" subcommand to the tool.
void RegisterCheckCommand(CLI::App& app);

} // namespace lodestar::cli
