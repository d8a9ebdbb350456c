#include "TNameList.h"

#include "Errors.h"
#include "TOutputStream.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace lodestar {

TNameList::TNameList(int fd, char separator, std::string source)
    : FFd(fd), FSeparator(separator), FSource(std::move(source)), FBuffer(64 * 1024) {}

bool TNameList::Fill() {
  if (FAtEnd)
    return false;
  // What is left of a name cut by the last read moves to the front.
  std::memmove(FBuffer.data(), FBuffer.data() + FStart, FEnd - FStart);
  FEnd -= FStart;
  FStart = 0;
  if (FEnd == FBuffer.size())
    FBuffer.resize(FBuffer.size() * 2); // a name longer than the buffer
  for (;;) {
    const ssize_t got = ::read(FFd, FBuffer.data() + FEnd, FBuffer.size() - FEnd);
    if (got > 0) {
      FEnd += static_cast<std::size_t>(got);
      return true;
    }
    if (got == 0) {
      FAtEnd = true;
      return false;
    }
    if (errno != EINTR)
      throw ELodestarError("Cannot read file \"" + FSource + "\". " + SystemReason(errno));
  }
}

bool TNameList::Next(std::string& name) {
  std::size_t searched = FStart;
  for (;;) {
    const void* found = std::memchr(FBuffer.data() + searched, FSeparator, FEnd - searched);
    if (found) {
      const auto end = static_cast<std::size_t>(static_cast<const char*>(found) - FBuffer.data());
      name.assign(FBuffer.data() + FStart, end - FStart);
      FStart = end + 1;
      return true;
    }
    searched = FEnd - FStart; // where the search goes on once the rest has moved to the front
    if (!Fill()) {
      if (FStart == FEnd)
        return false;
      name.assign(FBuffer.data() + FStart, FEnd - FStart);
      FStart = FEnd;
      return true;
    }
  }
}

} // namespace lodestar
