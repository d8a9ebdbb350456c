#include "TFileReader.h"

#include "Errors.h"

#include <algorithm>
#include <climits>
#include <cstring>

#ifdef _WIN32
#define NOMINMAX
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace lodestar {
namespace {

// Large enough to hold the directories and small values of a typical file in one or two reads.
constexpr std::size_t BufferSize = 32 * 1024;

} // namespace

#ifdef _WIN32

namespace {
std::wstring Widen(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1)
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
  return wide;
}

std::string SystemReason(DWORD code) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                     FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string reason = text ? text : "";
  LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
    reason.pop_back();
  return reason;
}
} // namespace

TFileReader::TFileReader(const std::string& path, TFileKind,
                         std::unique_ptr<unsigned char[]> buffer, TListedName)
    : FBuffer(std::move(buffer)) {
  // Others may read the file while it loads, but not write it.
  HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    throw EFOpenError(path, SystemReason(GetLastError()));
  // As on other systems, only regular files are read: a pipe or device would block the run.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    throw EFOpenError(path, "Not a regular file");
  }
  LARGE_INTEGER size{};
  GetFileSizeEx(h, &size);
  FHandle = reinterpret_cast<std::intptr_t>(h);
  FSize = size.QuadPart;
}

TFileReader::~TFileReader() {
  if (FHandle != -1)
    CloseHandle(reinterpret_cast<HANDLE>(FHandle));
}

bool TFileReader::Fill(std::int64_t position) {
  if (FHandle == -1)
    return false;
  if (!FBuffer)
    FBuffer.reset(new unsigned char[BufferSize]);
  FData = FBuffer.get();
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(position);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(FHandle), FBuffer.get(), BufferSize, &got, &at))
    got = 0;
  FBufferStart = position;
  FBufferLength = got;
  return got > 0;
}

#else

TFileReader::TFileReader(const std::string& path, TFileKind kind,
                         std::unique_ptr<unsigned char[]> buffer, TListedName listed)
    : FBuffer(std::move(buffer)) {
  // O_NONBLOCK keeps a pipe or device that carries a TIFF name from blocking the open; only
  // regular files are read.
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
  int fd =
      listed.Name ? ::openat(listed.DirectoryFd, listed.Name, flags) : ::open(path.c_str(), flags);
  if (fd < 0)
    throw EFOpenError(path, std::strerror(errno));
  FHandle = fd;
  // The editor writes under the exclusive lock for a few milliseconds; a writer that holds it
  // longer does not keep the file from being shown. Taking the lock before looking at the file
  // gives the size a writer that finished while we waited left behind.
  for (int waited = 0; ::flock(fd, LOCK_SH | LOCK_NB) != 0; waited += 5) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= LockWaitMilliseconds) {
      FBusy = errno == EWOULDBLOCK || errno == EINTR;
      break;
    }
    ::usleep(5000);
  }
  if (kind == TFileKind::Regular) {
    // A read that ends short of the buffer ended at the end of the file: that is its size. A
    // full buffer or a failed read (the entry was replaced by a directory or a pipe since it was
    // listed) falls back to looking; what a full one read stays for the load.
    FSize = INT64_MAX;
    if (Fill(0) && FBufferLength < BufferSize) {
      FSize = static_cast<std::int64_t>(FBufferLength);
      return;
    }
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const bool directory = S_ISDIR(st.st_mode);
    ::close(fd);
    FHandle = -1;
    throw EFOpenError(path, directory ? std::strerror(EISDIR) : "Not a regular file");
  }
  FSize = st.st_size;
}

TFileReader::~TFileReader() {
  if (FHandle != -1)
    ::close(static_cast<int>(FHandle));
}

bool TFileReader::Fill(std::int64_t position) {
  if (FHandle == -1)
    return false;
  if (!FBuffer)
    FBuffer.reset(new unsigned char[BufferSize]);
  FData = FBuffer.get();
  ssize_t got;
  do {
    got = ::pread(static_cast<int>(FHandle), FBuffer.get(), BufferSize, position);
  } while (got < 0 && errno == EINTR);
  FBufferStart = position;
  FBufferLength = got > 0 ? static_cast<std::size_t>(got) : 0;
  return got > 0;
}

#endif

TFileReader::TFileReader(std::span<const std::uint8_t> bytes)
    : FSize(static_cast<std::int64_t>(bytes.size())), FData(bytes.data()),
      FBufferLength(bytes.size()) {}

std::size_t TFileReader::Read(void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    if (FPosition < 0 || FPosition >= FSize)
      break;
    if (FPosition < FBufferStart || FPosition >= FBufferStart + std::int64_t(FBufferLength)) {
      if (!Fill(FPosition))
        break;
    }
    std::size_t offset = static_cast<std::size_t>(FPosition - FBufferStart);
    std::size_t n = std::min(count - done, FBufferLength - offset);
    n = std::min<std::size_t>(n, static_cast<std::size_t>(FSize - FPosition));
    std::memcpy(out + done, FData + offset, n);
    done += n;
    FPosition += static_cast<std::int64_t>(n);
  }
  return done;
}

void TFileReader::ReadExactSlow(void* buffer, std::size_t count) {
  if (Read(buffer, count) != count)
    throw EReadError();
}

} // namespace lodestar
