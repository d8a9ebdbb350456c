#pragma once

#include <string>

namespace CLI {
class App;
class Validator;
} // namespace CLI

namespace lodestar::cli {

// Shared by the subcommands that read one file.
// "lodestar-cli: KIND: 'FILE': MESSAGE" on standard error.
void PrintDiagnostic(const char* kind, const std::string& file, const std::string& message);
// The exit status for a FILE that is missing (2) or cannot be examined (1); EXIT_SUCCESS when it
// may be loaded.
int CheckFile(const std::string& file);
// A page number from 1.
extern const CLI::Validator PageNumber;

// Adds the "info" subcommand to the tool.
void RegisterInfoCommand(CLI::App& app);

} // namespace lodestar::cli
