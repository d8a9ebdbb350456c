#include "TOutputStream.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

namespace lodestar {

std::string SystemReason(int code) {
  return std::generic_category().message(code);
}

void TOutputStream::Write(std::string_view bytes) {
  if (FBuffer.size() + bytes.size() > BufferSize) {
    Flush();
    if (bytes.size() >= BufferSize) {
      WriteOut(bytes);
      return;
    }
  }
  if (FBuffer.capacity() < BufferSize)
    FBuffer.reserve(BufferSize);
  FBuffer.append(bytes);
}

void TOutputStream::Flush() {
  if (FBuffer.empty())
    return;
  // Emptied first: after a failure the rest would only fail again.
  std::string pending;
  pending.swap(FBuffer);
  WriteOut(pending);
  pending.clear();
  FBuffer.swap(pending);
}

void TOutputStream::WriteOut(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(FFd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      throw EFWriteError(FName, SystemReason(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

} // namespace lodestar
