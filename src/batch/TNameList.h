#pragma once

#include <string>
#include <vector>

namespace lodestar {

// The names of a file list as a batch run reads them: one a line, or each ended by a NUL
// character (find -print0, fd -0, locate -0), so that any name a file system allows gets through.
// The list is read as it goes, so a run starts at once and a list of millions of names is never
// held whole; the names are bytes and pass unchanged.
class TNameList {
public:
  // Reads from fd, which stays the caller's; source names the list in an error.
  TNameList(int fd, char separator, std::string source);

  // The next name, without its separator; false at the end of the list. A last name without a
  // separator still counts. A read error raises ELodestarError, "Cannot read file "SOURCE". ...".
  bool Next(std::string& name);

private:
  bool Fill();

  int FFd;
  char FSeparator;
  std::string FSource;
  std::vector<char> FBuffer;
  std::size_t FStart = 0;
  std::size_t FEnd = 0;
  bool FAtEnd = false;
};

} // namespace lodestar
