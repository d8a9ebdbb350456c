#pragma once

#include "TempDir.h"

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace lodestar::test {

struct TProgramRun {
  std::string Out, Err;
  int Status; // the exit status, -1 when the program did not exit by itself
};

// Runs a program as a user's shell would, collecting its standard output and error. Every
// argument is quoted, so any bytes but "'" reach the program unchanged.
inline TProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args) {
  TTempDir dir;
  std::string command = program;
  for (const std::string& arg : args)
    command += " '" + arg + "'";
  const int status = std::system((command + " >" + dir.File("o") + " 2>" + dir.File("e")).c_str());
  return {FileBytes(dir.File("o")), FileBytes(dir.File("e")),
          WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

} // namespace lodestar::test
