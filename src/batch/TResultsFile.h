#pragma once

#include "TOutputStream.h"

#include <memory>
#include <string>
#include <string_view>

namespace lodestar {

// A results file as the Batch tab saves it: plain UTF-8 text, no byte-order mark, every line
// ended by CR LF, the last one too.
//
// The text goes to a temporary file beside the target, which replaces the target only when
// everything was written and flushed to the disk (Close), the way install and rsync write: a run
// or a save that fails half way, or is interrupted, leaves the previous file as it was. A target
// that is not a regular file (a device, a pipe) cannot be replaced and is written directly; a
// link is followed, so the file it leads to is the one replaced. The replacement keeps the old
// file's mode, and its owner and group where the process may give them (as root, or a group the
// user belongs to); it is a new file all the same, so hard links to the old one keep the old text.
class TResultsFile {
public:
  // How the written text is flushed to the disk before the rename: fsync, or a stand-in that
  // fails the way a disk can.
  using TSync = int (*)(int fd);

  // Raises EFCreateError("Cannot create file "%s". %s") with the target's name.
  explicit TResultsFile(const std::string& fileName, TSync sync = DefaultSync);
  // Without a Close that succeeded, removes the temporary file and leaves the target alone.
  ~TResultsFile();
  TResultsFile(const TResultsFile&) = delete;
  TResultsFile& operator=(const TResultsFile&) = delete;

  // Line breaks inside line are written as CR LF too, as the results pane saves them.
  void WriteLine(std::string_view line);
  // Bytes as they are, line ends included.
  void WriteText(std::string_view text);
  // Flushes, syncs and puts the file in place. Raises EFWriteError ("Cannot write file "%s". %s")
  // when the text could not be written whole, EFCreateError when the target cannot be replaced;
  // either way the target is untouched.
  void Close();

  // The temporary file's path, empty when the target is written directly. While it exists, a
  // termination signal removes it (InstallTerminationHandlers).
  const char* TemporaryName() const { return FTempName.c_str(); }

private:
  static int DefaultSync(int fd);
  void Discard() noexcept;

  std::string FFileName;   // as given, for messages
  std::string FTargetName; // the file replaced: FFileName, or where its link leads
  std::string FTempName;
  int FFd = -1;
  TSync FSync;
  std::unique_ptr<TOutputStream> FStream;
};

// Saves the text of the results pane: its lines are separated by '\n' (a '\r' before it is part
// of the line end), and the last line is ended like the others; a text ending in '\n' gains no
// empty line from it. An empty text gives an empty file.
void SaveResultsText(const std::string& fileName, std::string_view text);

} // namespace lodestar
