#pragma once

#include <string>

namespace CLI {
class App;
class Validator;
} // namespace CLI

namespace lodestar {
class TTiffFile;
}

namespace lodestar::cli {

// Shared by the subcommands that read one file.
// "lodestar-cli: KIND: 'FILE': MESSAGE" on standard error.
void PrintDiagnostic(const char* kind, const std::string& file, const std::string& message);
// After loading FILE: the exit status when nothing loaded because FILE is missing or a directory
// (2) or cannot be reached (1), said on standard error; ExitSuccess when it loaded.
int CheckLoaded(const TTiffFile& file, const std::string& name);
// A page number from 1.
extern const CLI::Validator PageNumber;

// Adds the "info" subcommand to the tool.
void RegisterInfoCommand(CLI::App& app);

} // namespace lodestar::cli
