#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace lodestar {

// A results file as the Batch tab saves it: plain UTF-8 text, no byte-order mark, every line
// ended by CR LF, the last one too. Lines are written as they come, so a run of any length can
// write straight to it.
class TResultsFile {
public:
  // Creates or replaces the file. Raises EFCreateError("Cannot create file "%s". %s").
  explicit TResultsFile(const std::string& fileName);
  ~TResultsFile();
  TResultsFile(const TResultsFile&) = delete;
  TResultsFile& operator=(const TResultsFile&) = delete;

  // Line breaks inside line are written as CR LF too, as the results pane saves them.
  void WriteLine(std::string_view line);
  // Raises EFCreateError when the file could not be written whole (a full disk, say): a file cut
  // short is not reported as saved.
  void Close();

private:
  std::string FFileName;
  std::FILE* FFile = nullptr;
};

// Saves the text of the results pane: its lines are separated by '\n' (a '\r' before it is part
// of the line end), and the last line is ended like the others; a text ending in '\n' gains no
// empty line from it. An empty text gives an empty file.
void SaveResultsText(const std::string& fileName, std::string_view text);

} // namespace lodestar
