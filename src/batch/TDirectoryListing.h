#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

// What a batch run takes from one directory, read in one pass: the names of its "*.tif" files and
// of its subdirectories, each sorted without regard to case. Hidden entries (the name begins with
// ".") are left out, and so is everything that is neither a regular file nor a directory: opening
// a pipe named x.tif would block the run for good. Links are followed.
struct TDirectoryListing {
  std::vector<std::string> TifFiles;
  std::vector<std::string> SubDirectories;
  // Identity of the directory itself, so a walk can refuse to enter it twice.
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
};

// Lists path, replacing what listing held. False, with the system's reason in reason, when the
// directory cannot be opened or read.
bool ListDirectory(const std::string& path, TDirectoryListing& listing, std::string& reason);

// The mask "*.tif" without regard to case; names ending in ".tiff" match it too.
bool MatchesTifMask(std::string_view name);

// True when a directory (or a link to one) exists at path.
bool DirectoryExists(const std::string& path);

// The platform's path separator, as the records write it.
inline constexpr char PathSeparator = '/';

} // namespace lodestar
