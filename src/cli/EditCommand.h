#pragma once

namespace CLI {
class App;
}

namespace lodestar::cli {

// Adds the "edit" subcommand: overwrites one "Ascii" value in place, within its length.
void RegisterEditCommand(CLI::App& app);

} // namespace lodestar::cli
