#pragma once

#include "Errors.h"

#include <string>
#include <string_view>

namespace lodestar {

// A failure of a run's output. It ends the run at once: unlike the failure of one input file, the
// engine never swallows it, since every record after it would be lost as well.
class EOutputError : public ELodestarError {
public:
  EOutputError(const std::string& message, const std::string& reason)
      : ELodestarError(message), FReason(reason) {}
  // The system's reason alone ("No space left on device").
  const std::string& Reason() const { return FReason; }

private:
  std::string FReason;
};

// "Cannot write file "%s". %s": the file's name and the system's reason.
class EFWriteError : public EOutputError {
public:
  EFWriteError(const std::string& path, const std::string& reason)
      : EOutputError("Cannot write file \"" + path + "\". " + reason, reason) {}
};

// Buffered writes to a descriptor it does not own, each failure raised at once as EFWriteError
// with the system's reason. Unlike stdio it never hides a failed write until a later check, so a
// full disk or a closed pipe ends the run within one buffer of output.
class TOutputStream {
public:
  TOutputStream(int fd, std::string name) : FFd(fd), FName(std::move(name)) {}
  TOutputStream(const TOutputStream&) = delete;
  TOutputStream& operator=(const TOutputStream&) = delete;

  void Write(std::string_view bytes);
  void Flush();
  const std::string& Name() const { return FName; }

private:
  static constexpr std::size_t BufferSize = 1 << 16;

  void WriteOut(std::string_view bytes);

  int FFd;
  std::string FName;
  std::string FBuffer;
};

// The system's text for an errno value; safe from any thread.
std::string SystemReason(int code);

} // namespace lodestar
