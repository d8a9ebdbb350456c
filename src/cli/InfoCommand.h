#pragma once

#include <string>

namespace CLI {
class App;
class Validator;
} // namespace CLI

namespace lodestar::cli {

// A page number from 1.
extern const CLI::Validator PageNumber;

// Adds the "info" subcommand to the tool.
void RegisterInfoCommand(CLI::App& app);

} // namespace lodestar::cli
