#include "TLoadedFile.h"

#include "Diagnostics.h"
#include "ExitStatus.h"

#include <string>
#include <system_error>

namespace lodestar::cli {

TLoadedFile::TLoadedFile(const std::string& name, const std::string& loadPath)
    : FName(name), FFile([this](const std::string& message) { FMessages.push_back(message); }),
      FStatus(ExitSuccess) {
  try {
    FFile.SetFileName(loadPath.empty() ? name : loadPath);
  } catch (const ELodestarError& error) {
    FRaised = error.what();
    FFailure = FRaised;
    FStatus = ExitFailed;
    return;
  }
  // The reader loads nothing, without raising, when the name is no file; a listing would then
  // claim an empty file.
  switch (FFile.LoadStatus()) {
  case TLoadStatus::None: // an empty name equals the fresh file's and loads nothing
    FFailure = std::make_error_code(std::errc::no_such_file_or_directory).message();
    FStatus = ExitUsage;
    break;
  case TLoadStatus::NotFound:
  case TLoadStatus::IsDirectory:
    FFailure = FFile.LoadError().message();
    FStatus = ExitUsage;
    break;
  case TLoadStatus::Unreachable: // e.g. under a directory without search rights
    FFailure = FFile.LoadError().message();
    FStatus = ExitFailed;
    break;
  default:
    break;
  }
}

int TLoadedFile::Report() const {
  for (const std::string& message : FMessages)
    ReportWarning(FName, message);
  return ReportFailure();
}

int TLoadedFile::ReportFailure() const {
  if (FStatus != ExitSuccess)
    ReportError(FName, FFailure);
  return FStatus;
}

int TLoadedFile::CheckPage(int page) const {
  const int count = FFile.PageCount();
  if (page <= count)
    return ExitSuccess;
  ReportError(FName, "there is no page " + std::to_string(page) + "; the file has " +
                         std::to_string(count) + (count == 1 ? " page" : " pages"));
  return ExitFailed;
}

} // namespace lodestar::cli
