#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>

namespace lodestar {

// What the caller knows of a path before it is opened. A directory listing that says "regular
// file" spares the reader its own look: a file smaller than one buffer then costs an open, a lock,
// one read and a close, with its size taken from that read.
enum class TFileKind : std::uint8_t { Unknown, Regular };

// Where a directory listing found a file: the open directory and the name in it. Opening the name
// there spares the system a walk of the whole path for every file of the directory; the path
// still names the file in messages.
struct TListedName {
  int DirectoryFd = -1;
  const char* Name = nullptr; // null: open the path
};

// A read-only, positioned view of the bytes of one file, on disk or in memory; the reader sees no
// difference. On disk, reads are served from a buffer that is refilled with one positioned read, so
// walking a directory of entries costs a few system calls. No memory mapping: a file truncated
// while it is read gives a short read, never a fault.
class TFileReader {
public:
  // Opens for reading only (other writers are denied where the platform can) and holds a shared
  // lock while it lives, so that an edit in progress, which holds the exclusive lock, is seen whole
  // or not at all. Waits up to LockWait for the lock, then reads without it (Busy() is true).
  // Raises EFOpenError with the system's reason.
  // buffer: one TakeBuffer gave, so that reading file after file allocates it once.
  explicit TFileReader(const std::string& path, TFileKind kind = TFileKind::Unknown,
                       std::unique_ptr<unsigned char[]> buffer = {}, TListedName listed = {});
  // Reads bytes the caller keeps alive and unchanged while the reader lives.
  explicit TFileReader(std::span<const std::uint8_t> bytes);
  ~TFileReader();
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;

  static constexpr int LockWaitMilliseconds = 500;

  // The read buffer, for the next reader of another file; this one reads no more.
  std::unique_ptr<unsigned char[]> TakeBuffer() {
    FBufferLength = 0;
    FData = nullptr;
    return std::move(FBuffer);
  }

  // The file's size at open.
  std::uint64_t Size() const { return static_cast<std::uint64_t>(FSize); }
  // True when another program held the file's exclusive lock for longer than the wait.
  bool Busy() const { return FBusy; }

  std::int64_t Position() const { return FPosition; }
  void Seek(std::int64_t position) { FPosition = position; }

  // Reads up to count bytes at the position and advances by what was read; a short count at the
  // end of the file.
  std::size_t Read(void* buffer, std::size_t count);

  // Reads exactly count bytes or raises EReadError.
  void ReadExact(void* buffer, std::size_t count) {
    // Entries are read a few bytes at a time, nearly always from the buffer. Compared as what is
    // left from the position, not position plus count: a BigTIFF offset clamped to the largest
    // position must not overflow.
    if (FPosition >= FBufferStart &&
        std::int64_t(count) <= FBufferStart + std::int64_t(FBufferLength) - FPosition &&
        std::int64_t(count) <= FSize - FPosition) {
      std::memcpy(buffer, FData + (FPosition - FBufferStart), count);
      FPosition += std::int64_t(count);
      return;
    }
    ReadExactSlow(buffer, count);
  }

private:
  bool Fill(std::int64_t position);
  void ReadExactSlow(void* buffer, std::size_t count);

  std::intptr_t FHandle = -1;
  std::int64_t FSize = 0;
  bool FBusy = false;
  std::int64_t FPosition = 0;
  std::unique_ptr<unsigned char[]> FBuffer; // not zero-filled: only what was read is looked at
  // The buffer's bytes: FBuffer's for a file, the caller's for memory.
  const unsigned char* FData = nullptr;
  std::int64_t FBufferStart = 0;
  std::size_t FBufferLength = 0;
};

// The reading primitives: 2, 4 and 8 bytes assembled little-endian (first byte lowest); EReadError
// when fewer bytes remain. A value of the file is SwapWord(ReadWord(s), big) or
// SwapLong(ReadLong(s), big).
inline std::uint16_t ReadWord(TFileReader& stream) {
  unsigned char b[2];
  stream.ReadExact(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

inline std::uint32_t ReadLong(TFileReader& stream) {
  unsigned char b[4];
  stream.ReadExact(b, 4);
  return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
         (std::uint32_t(b[3]) << 24);
}

inline std::uint64_t ReadLong8(TFileReader& stream) {
  const std::uint64_t low = ReadLong(stream);
  return low | (std::uint64_t(ReadLong(stream)) << 32);
}

inline std::uint16_t SwapWord(std::uint16_t value, bool swap) {
  return swap ? static_cast<std::uint16_t>((value >> 8) | (value << 8)) : value;
}

inline std::uint32_t SwapLong(std::uint32_t value, bool swap) {
  if (!swap)
    return value;
  return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

inline std::uint64_t SwapLong8(std::uint64_t value, bool swap) {
  if (!swap)
    return value;
  return (std::uint64_t(SwapLong(static_cast<std::uint32_t>(value), true)) << 32) |
         SwapLong(static_cast<std::uint32_t>(value >> 32), true);
}

} // namespace lodestar
