#include "BatchCommand.h"

namespace lodestar::cli {

// TODO: the batch subcommand.
void RegisterBatchCommand(CLI::App&) {}

} // namespace lodestar::cli
