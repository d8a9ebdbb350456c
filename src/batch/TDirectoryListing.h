#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lodestar {

// An open directory. The walk reaches every directory relative to its parent's handle, so a
// path longer than the system's limit is read like any other; the handle lives as long as a file
// of the directory may still be read.
class TDirectoryHandle {
public:
  explicit TDirectoryHandle(void* dir) : FDir(dir) {}
  ~TDirectoryHandle();
  TDirectoryHandle(const TDirectoryHandle&) = delete;
  TDirectoryHandle& operator=(const TDirectoryHandle&) = delete;
  int Fd() const;

private:
  void* FDir; // DIR*
};

// What a batch run takes from one directory, read in one pass: the names of its "*.tif" files and
// of its subdirectories, each sorted without regard to case. Hidden entries (the name begins with
// ".") are left out, and so is everything that is neither a regular file nor a directory: opening
// a pipe named x.tif would block the run for good. Links are followed.
struct TDirectoryListing {
  std::vector<std::string> TifFiles;
  std::vector<std::string> SubDirectories;
  // Entries that could not be looked at (a link to nowhere named like a TIFF file, an entry that
  // vanished, a link loop): name and the system's reason.
  std::vector<std::pair<std::string, std::string>> Unreadable;
  // Identity of the directory itself, so a walk can refuse to enter it twice.
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::shared_ptr<TDirectoryHandle> Handle;
};

// Lists the directory name relative to the open directory parentFd (AT_FDCWD for a path),
// replacing what listing held. False, with the system's reason in reason, when the directory
// cannot be opened or read.
bool ListDirectory(int parentFd, const std::string& name, TDirectoryListing& listing,
                   std::string& reason);
bool ListDirectory(const std::string& path, TDirectoryListing& listing, std::string& reason);

// The mask "*.tif" without regard to case; names ending in ".tiff" match it too.
bool MatchesTifMask(std::string_view name);

// True when a directory (or a link to one) exists at path.
bool DirectoryExists(const std::string& path);

// The platform's path separator, as the records write it.
inline constexpr char PathSeparator = '/';

} // namespace lodestar
