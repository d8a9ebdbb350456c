#include "TDirectoryListing.h"

#include "TSearchList.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// TODO: a FindFirstFile walk for Windows; this one is POSIX only.

namespace lodestar {

namespace {

enum class TEntryKind { Other, File, Directory };

TEntryKind KindOf(int dirFd, const dirent& entry) {
  switch (entry.d_type) {
  case DT_REG:
    return TEntryKind::File;
  case DT_DIR:
    return TEntryKind::Directory;
  case DT_LNK:
  case DT_UNKNOWN:
    break; // the file system does not say, or a link: ask about what it leads to
  default:
    return TEntryKind::Other;
  }
  struct stat st {};
  if (fstatat(dirFd, entry.d_name, &st, 0) != 0)
    return TEntryKind::Other; // a dangling link, or the entry vanished
  if (S_ISREG(st.st_mode))
    return TEntryKind::File;
  if (S_ISDIR(st.st_mode))
    return TEntryKind::Directory;
  return TEntryKind::Other;
}

// Case-insensitive order; names that differ only in case (possible here) keep a fixed order.
bool NameLess(const std::string& a, const std::string& b) {
  const int c = CompareTextNoCase(a, b);
  return c != 0 ? c < 0 : a < b;
}

} // namespace

bool MatchesTifMask(std::string_view name) {
  // Windows matches "*.tif" against the short name too, where "x.tiff" is "X~1.TIF"; archives
  // written there hold both endings, and a run must list every one of their TIFF files.
  const auto endsWith = [name](std::string_view suffix) {
    return name.size() >= suffix.size() &&
           EqualTextNoCase(name.substr(name.size() - suffix.size()), suffix);
  };
  return endsWith(".tif") || endsWith(".tiff");
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ListDirectory(const std::string& path, TDirectoryListing& listing, std::string& reason) {
  listing.TifFiles.clear();
  listing.SubDirectories.clear();
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
    close(fd);
    return false;
  }
  listing.Device = static_cast<std::uint64_t>(st.st_dev);
  listing.Inode = static_cast<std::uint64_t>(st.st_ino);
  DIR* dir = fdopendir(fd); // owns fd from here
  if (!dir) {
    reason = std::strerror(errno);
    close(fd);
    return false;
  }
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (!entry)
      break;
    // Covers "." and ".." as well as every hidden entry.
    if (entry->d_name[0] == '.')
      continue;
    const std::string_view name = entry->d_name;
    // Only a name that could be listed is worth a look at its kind.
    if (entry->d_type == DT_REG) {
      if (MatchesTifMask(name))
        listing.TifFiles.emplace_back(name);
      continue;
    }
    switch (KindOf(dirfd(dir), *entry)) {
    case TEntryKind::File:
      if (MatchesTifMask(name))
        listing.TifFiles.emplace_back(name);
      break;
    case TEntryKind::Directory:
      listing.SubDirectories.emplace_back(name);
      break;
    case TEntryKind::Other:
      break;
    }
  }
  const int readError = errno;
  closedir(dir);
  if (readError != 0) {
    reason = std::strerror(readError);
    return false;
  }
  std::sort(listing.TifFiles.begin(), listing.TifFiles.end(), NameLess);
  std::sort(listing.SubDirectories.begin(), listing.SubDirectories.end(), NameLess);
  return true;
}

} // namespace lodestar
