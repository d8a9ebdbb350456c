#pragma once

#include <cstdlib>

namespace lodestar::cli {

// The exit statuses of lodestar-cli; scripts need no finer distinction than these.
// Reader messages and "Input file wrong" are warnings and leave the status at ExitSuccess.
inline constexpr int ExitSuccess = EXIT_SUCCESS;
// A file could not be loaded, an output could not be written, or an edit was refused or failed.
inline constexpr int ExitFailed = 1;
// The command line could not be followed: bad usage, a FILE or DIR that does not exist.
inline constexpr int ExitUsage = 2;
// A batch run finished but skipped entries it could not read; each was named on standard error.
inline constexpr int ExitIncomplete = 3;
// `check` finished and some file is not well-formed and valid; 3 wins when entries were skipped.
inline constexpr int ExitNotValid = 4;

} // namespace lodestar::cli
