#include "TDirectoryListing.h"

#include "TOutputStream.h"
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

TEntryKind KindOf(int dirFd, const dirent& entry, int& error) {
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
  if (fstatat(dirFd, entry.d_name, &st, 0) != 0) {
    error = errno; // a dangling link, a link loop, or the entry vanished
    return TEntryKind::Other;
  }
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

TDirectoryHandle::~TDirectoryHandle() {
  closedir(static_cast<DIR*>(FDir));
}

int TDirectoryHandle::Fd() const {
  return dirfd(static_cast<DIR*>(FDir));
}

bool ListDirectory(const std::string& path, TDirectoryListing& listing, std::string& reason) {
  return ListDirectory(AT_FDCWD, path, listing, reason);
}

bool ListDirectory(int parentFd, const std::string& name, TDirectoryListing& listing,
                   std::string& reason) {
  listing.TifFiles.clear();
  listing.SubDirectories.clear();
  listing.Unreadable.clear();
  listing.Handle.reset();
  const int fd = openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    reason = SystemReason(errno);
    return false;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    reason = SystemReason(errno);
    close(fd);
    return false;
  }
  listing.Device = static_cast<std::uint64_t>(st.st_dev);
  listing.Inode = static_cast<std::uint64_t>(st.st_ino);
  DIR* dir = fdopendir(fd); // owns fd from here
  if (!dir) {
    reason = SystemReason(errno);
    close(fd);
    return false;
  }
  auto handle = std::make_shared<TDirectoryHandle>(dir);
  for (;;) {
    errno = 0;
    const dirent* entry = readdir(dir);
    if (!entry)
      break;
    // Covers "." and ".." as well as every hidden entry.
    if (entry->d_name[0] == '.')
      continue;
    const std::string_view entryName = entry->d_name;
    // Only a name that could be listed is worth a look at its kind.
    if (entry->d_type == DT_REG) {
      if (MatchesTifMask(entryName))
        listing.TifFiles.emplace_back(entryName);
      continue;
    }
    int error = 0;
    switch (KindOf(dirfd(dir), *entry, error)) {
    case TEntryKind::File:
      if (MatchesTifMask(entryName))
        listing.TifFiles.emplace_back(entryName);
      break;
    case TEntryKind::Directory:
      listing.SubDirectories.emplace_back(entryName);
      break;
    case TEntryKind::Other:
      // A link to nowhere could have been anything; it is worth a word only where it would have
      // been read as a file, or where the system gives a reason other than "not there".
      if (error != 0 && (error != ENOENT || MatchesTifMask(entryName)))
        listing.Unreadable.emplace_back(entryName, SystemReason(error));
      break;
    }
  }
  const int readError = errno;
  if (readError != 0) {
    reason = SystemReason(readError);
    return false;
  }
  listing.Handle = std::move(handle);
  std::sort(listing.TifFiles.begin(), listing.TifFiles.end(), NameLess);
  std::sort(listing.SubDirectories.begin(), listing.SubDirectories.end(), NameLess);
  return true;
}

} // namespace lodestar
