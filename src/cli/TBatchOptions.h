#pragma once

#include <string>
#include <vector>

namespace lodestar::cli {

// One file in flight per online processor, and at least four.
int DefaultJobs();

// The batch subcommand's command line.
struct TBatchOptions {
  std::string Dir;
  std::string FilesFrom; // a list of names instead of DIR; "-" for standard input
  bool NulSeparated = false;
  std::vector<std::string> Tags;
  std::string Separator = ",";
  bool SplitPath = false;
  bool NoHeader = false;
  bool NoRoot = false;
  bool NoSubdirs = false;
  bool NoTrim = false;
  bool FirstPageOnly = false;
  bool Check = false;
  std::string Output;
  int Jobs = DefaultJobs();
  std::string Format = "records";
};

} // namespace lodestar::cli
