#pragma once

#include "cLodestar.h"

#include <string>
#include <vector>

namespace lodestar::cli {

// The one file a subcommand works on: loaded once, the reader's messages kept, and the exit
// status for a load that gave nothing to work on.
class TLoadedFile {
public:
  // name is the file as the user gave it, used in every message; loadPath, when not empty, is
  // the path actually loaded (print loads the absolute path its page header names).
  explicit TLoadedFile(const std::string& name, const std::string& loadPath = {});
  TLoadedFile(const TLoadedFile&) = delete;
  TLoadedFile& operator=(const TLoadedFile&) = delete;

  const TTiffFile& File() const { return FFile; }
  const std::string& Name() const { return FName; }
  const std::vector<std::string>& Messages() const { return FMessages; }
  // ExitSuccess when the file loaded; otherwise 2 for a FILE that does not exist or is a
  // directory, 1 for one that cannot be reached or is no TIFF file.
  int Status() const { return FStatus; }
  // The reader raised this reason; empty when it did not.
  const std::string& Raised() const { return FRaised; }

  // Says the reader's messages as warnings and, when nothing loaded, why; returns Status().
  int Report() const;
  // Says only why nothing loaded, for callers that put the messages elsewhere.
  int ReportFailure() const;
  // ExitSuccess when the loaded file has the page (from 1); otherwise says there is no such page
  // and returns ExitFailed, so that no subcommand lists, prints or edits a page that is not there.
  int CheckPage(int page) const;

private:
  std::string FName;
  std::vector<std::string> FMessages;
  TTiffFile FFile;
  int FStatus;
  std::string FRaised;
  std::string FFailure;
};

} // namespace lodestar::cli
