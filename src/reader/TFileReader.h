#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lodestar {

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
  explicit TFileReader(const std::string& path);
  // Reads bytes the caller keeps alive and unchanged while the reader lives.
  explicit TFileReader(std::span<const std::uint8_t> bytes);
  ~TFileReader();
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;

  static constexpr int LockWaitMilliseconds = 500;

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
  void ReadExact(void* buffer, std::size_t count);

private:
  bool Fill(std::int64_t position);

  std::intptr_t FHandle = -1;
  std::int64_t FSize = 0;
  bool FBusy = false;
  std::int64_t FPosition = 0;
  std::vector<unsigned char> FBuffer;
  // The buffer's bytes: FBuffer's for a file, the caller's for memory.
  const unsigned char* FData = nullptr;
  std::int64_t FBufferStart = 0;
  std::size_t FBufferLength = 0;
};

// The reading primitives: 2, 4 and 8 bytes assembled little-endian (first byte lowest); EReadError
// when fewer bytes remain. A value of the file is SwapWord(ReadWord(s), big) or
// SwapLong(ReadLong(s), big).
std::uint16_t ReadWord(TFileReader& stream);
std::uint32_t ReadLong(TFileReader& stream);
std::uint64_t ReadLong8(TFileReader& stream);
std::uint16_t SwapWord(std::uint16_t value, bool swap);
std::uint32_t SwapLong(std::uint32_t value, bool swap);
std::uint64_t SwapLong8(std::uint64_t value, bool swap);

} // namespace lodestar
