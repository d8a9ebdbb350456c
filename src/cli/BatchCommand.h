#pragma once

namespace CLI {
class App;
}

namespace lodestar::cli {

// Adds the "batch" subcommand to the tool.
void RegisterBatchCommand(CLI::App& app);

} // namespace lodestar::cli
