#include "TResultsFile.h"

#include "TerminationSignals.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lodestar {

namespace {

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The mode a new file gets from the process's umask, read without changing it for good.
mode_t NewFileMode() {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

// A rename is on disk only once its directory is; a failure here loses nothing already renamed.
void SyncDirectory(const std::string& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

} // namespace

int TResultsFile::DefaultSync(int fd) {
  return ::fsync(fd);
}

TResultsFile::TResultsFile(const std::string& fileName, TSync sync)
    : FFileName(fileName), FTargetName(fileName), FSync(sync) {
  struct stat st {};
  const bool exists = ::stat(fileName.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    // A pipe waits here for its reader, as long as it takes; the termination signals are not
    // held, so Ctrl-C still ends the wait.
    FFd = ::open(fileName.c_str(), O_WRONLY | O_CLOEXEC);
    if (FFd < 0)
      throw EFCreateError(fileName, SystemReason(errno));
  } else {
    // A file the user may not write stays as it is, although its directory would let a
    // replacement in: the rename must not get round its permissions.
    if (exists && ::access(fileName.c_str(), W_OK) != 0)
      throw EFCreateError(fileName, SystemReason(errno));
    if (exists) {
      if (char* resolved = ::realpath(fileName.c_str(), nullptr)) {
        FTargetName = resolved;
        std::free(resolved);
      }
    }
    FTempName = DirectoryOf(FTargetName) + "/." + BaseNameOf(FTargetName) + ".lodestar-XXXXXX";
    int error = 0;
    {
      // A signal between the creation and the registration would leave the file behind.
      TTerminationHeld held;
      FFd = ::mkostemp(FTempName.data(), O_CLOEXEC);
      if (FFd >= 0)
        RemoveOnTermination(FTempName.c_str());
      else
        error = errno;
    }
    if (FFd < 0) {
      FTempName.clear();
      throw EFCreateError(fileName, SystemReason(error));
    }
    if (exists) {
      // Owner and group as far as the process may give them, the group alone where the owner
      // cannot be given; the mode after, as a change of owner clears the set-ID bits.
      if (::fchown(FFd, st.st_uid, st.st_gid) != 0)
        (void)::fchown(FFd, static_cast<uid_t>(-1), st.st_gid);
    }
    // The replacement keeps the mode of the file it replaces; a new file gets the usual one.
    ::fchmod(FFd, exists ? (st.st_mode & 07777) : NewFileMode());
  }
  FStream = std::make_unique<TOutputStream>(FFd, fileName);
}

TResultsFile::~TResultsFile() {
  Discard();
}

void TResultsFile::Discard() noexcept {
  if (FFd >= 0)
    ::close(FFd);
  FFd = -1;
  if (FTempName.empty())
    return;
  TTerminationHeld held;
  ::unlink(FTempName.c_str());
  RemoveOnTermination(nullptr);
  FTempName.clear();
}

void TResultsFile::WriteLine(std::string_view line) {
  // A value may bring line breaks of its own (CR LF, LF or CR alone). The results pane shows each
  // as a line end and saves it as CR LF, so a results file written here does the same.
  // One pass over the line: find_first_of would look each character up in the set with a call.
  const auto nextBreak = [&line] {
    return static_cast<std::size_t>(
        std::find_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }) -
        line.begin());
  };
  for (auto brk = nextBreak(); brk < line.size(); brk = nextBreak()) {
    FStream->Write(line.substr(0, brk));
    FStream->Write("\r\n");
    const bool crLf = line[brk] == '\r' && brk + 1 < line.size() && line[brk + 1] == '\n';
    line.remove_prefix(brk + (crLf ? 2 : 1));
  }
  FStream->Write(line);
  FStream->Write("\r\n");
}

void TResultsFile::WriteText(std::string_view text) {
  FStream->Write(text);
}

void TResultsFile::Close() {
  if (FFd < 0)
    return;
  FStream->Flush();
  if (FTempName.empty()) {
    ::close(FFd);
    FFd = -1;
    return;
  }
  // A disk that fills up only when the cache is written back reports it here or at close.
  if (FSync(FFd) != 0)
    throw EFWriteError(FFileName, SystemReason(errno));
  const int fd = FFd;
  FFd = -1;
  if (::close(fd) != 0)
    throw EFWriteError(FFileName, SystemReason(errno));
  {
    TTerminationHeld held;
    if (::rename(FTempName.c_str(), FTargetName.c_str()) != 0)
      throw EFCreateError(FFileName, SystemReason(errno));
    RemoveOnTermination(nullptr);
    FTempName.clear();
  }
  SyncDirectory(DirectoryOf(FTargetName));
}

void SaveResultsText(const std::string& fileName, std::string_view text) {
  TResultsFile file(fileName);
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    file.WriteLine(line);
    if (end == std::string_view::npos)
      break;
    text.remove_prefix(end + 1);
  }
  file.Close();
}

} // namespace lodestar
