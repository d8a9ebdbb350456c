#include "TAsciiEdit.h"

#include "CodePage.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lodestar {

namespace {

// The cells a tag row carries after "Nr", and where the editor finds its four.
constexpr std::size_t TagRowCells = 7;
constexpr std::size_t ValueCell = 3, TypeCell = 4, LengthCell = 5, ValuePosCell = 6;

// A cell as FormatInBase wrote it: decimal or hexadecimal, a 64-bit position or count.
bool ParseInBase(const std::string& cell, TDisplayBase base, std::int64_t& value) {
  const char* first = cell.data();
  const char* last = first + cell.size();
  if (base == TDisplayBase::Hex) {
    std::uint64_t bits = 0;
    const auto [end, error] = std::from_chars(first, last, bits, 16);
    value = static_cast<std::int64_t>(bits);
    return error == std::errc() && end == last && !cell.empty() && value >= 0;
  }
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last && !cell.empty();
}

bool IsAsciiType(std::string_view type) {
  while (!type.empty() && static_cast<unsigned char>(type.front()) <= 32)
    type.remove_prefix(1);
  while (!type.empty() && static_cast<unsigned char>(type.back()) <= 32)
    type.remove_suffix(1);
  constexpr std::string_view Ascii = "ASCII";
  if (type.size() != Ascii.size())
    return false;
  for (std::size_t i = 0; i < Ascii.size(); ++i) {
    char c = type[i];
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    if (c != Ascii[i])
      return false;
  }
  return true;
}

TEditResult Refused(TEditOutcome outcome, std::string message = {}) {
  return {outcome, std::move(message), {}, {}};
}

TEditResult SavingFailed(int error) {
  return {TEditOutcome::SavingFailed, SavingFailedText, std::strerror(error), {}};
}

// Closes the descriptor whatever happened; a failed close can hide a failed write on network file
// systems, so it is reported like one.
class TWriteHandle {
public:
  explicit TWriteHandle(int fd) : FFd(fd) {}
  ~TWriteHandle() {
    if (FFd >= 0)
      ::close(FFd);
  }
  TWriteHandle(const TWriteHandle&) = delete;
  TWriteHandle& operator=(const TWriteHandle&) = delete;
  int Fd() const { return FFd; }
  int Close() {
    const int result = ::close(FFd);
    FFd = -1;
    return result;
  }

private:
  int FFd;
};

} // namespace

std::variant<TAsciiTarget, TEditResult>
AsciiTargetOfRow(const TReportRow& row, const std::string& path, TDisplayBase base) {
  if (row.SubItems.size() != TagRowCells || path.empty())
    return Refused(TEditOutcome::NotATagRow);
  if (!IsAsciiType(row.SubItems[TypeCell]))
    return Refused(TEditOutcome::NotAscii, OnlyAsciiText);
  TAsciiTarget target;
  target.FilePath = path;
  std::int64_t count = 0;
  if (!ParseInBase(row.SubItems[ValuePosCell], base, target.Position) ||
      !ParseInBase(row.SubItems[LengthCell], base, count))
    return Refused(TEditOutcome::NotATagRow);
  // No Ascii value read whole is anywhere near 2^31 bytes long.
  if (count <= 0 || count > INT32_MAX)
    return Refused(TEditOutcome::NothingToEdit);
  target.Count = static_cast<std::int32_t>(count);
  if (target.Count <= 0)
    return Refused(TEditOutcome::NothingToEdit);
  // A value cut at the reader's limit or by the end of the file holds fewer characters than its
  // count: the user has not seen what the write would replace.
  target.ListedBytes = EncodeNarrow(FromUtf8(row.SubItems[ValueCell]));
  if (target.ListedBytes.size() != static_cast<std::size_t>(target.Count))
    return Refused(TEditOutcome::NotReadWhole, NotReadWholeText);
  return target;
}

bool FitsCodePage(std::u16string_view text) {
  for (char16_t ch : text)
    if (NarrowToWide(WideToNarrow(ch)) != ch)
      return false;
  return true;
}

std::string TextToWrite(std::u16string_view text, std::int32_t length) {
  if (length <= 0)
    return {};
  std::string bytes = EncodeNarrow(text.substr(0, static_cast<std::size_t>(length)));
  bytes.resize(static_cast<std::size_t>(length), ' ');
  return bytes;
}

TEditResult WriteAsciiValue(const TAsciiTarget& target, std::string_view bytes,
                            TPositionedWrite write) {
  if (!write)
    write = ::pwrite;
  const std::int32_t length = target.LengthToWrite();
  if (length < 0 || bytes.size() != static_cast<std::size_t>(length))
    return Refused(TEditOutcome::NothingToEdit);
  if (length == 0)
    return {};

  // O_NONBLOCK: a FIFO put in the file's place must not hang the window.
  TWriteHandle file(::open(target.FilePath.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.Fd() < 0)
    return SavingFailed(errno);
  struct stat st {};
  if (::fstat(file.Fd(), &st) != 0)
    return SavingFailed(errno);
  if (!S_ISREG(st.st_mode))
    return SavingFailed(EINVAL);
  // Without sharing: another program that holds a lock on the file keeps it.
  if (::flock(file.Fd(), LOCK_EX | LOCK_NB) != 0)
    return errno == EWOULDBLOCK ? Refused(TEditOutcome::BeingEdited, BeingEditedText)
                                : SavingFailed(errno);

  const std::int64_t size = st.st_size;
  const auto count = static_cast<std::int64_t>(target.ListedBytes.size());
  if (target.Position < 0 || target.Position > size || size - target.Position < count)
    return Refused(TEditOutcome::OutsideFile, OutsideFileText);

  std::string found(target.ListedBytes.size(), '\0');
  ssize_t got;
  do
    got = ::pread(file.Fd(), found.data(), found.size(), target.Position);
  while (got < 0 && errno == EINTR);
  if (got < 0)
    return SavingFailed(errno);
  if (static_cast<std::size_t>(got) != found.size() || found != target.ListedBytes)
    return Refused(TEditOutcome::FileChanged, FileChangedText);

  ssize_t put;
  do
    put = write(file.Fd(), bytes.data(), bytes.size(), target.Position);
  while (put < 0 && errno == EINTR);
  if (put < 0)
    return SavingFailed(errno);
  if (static_cast<std::size_t>(put) != bytes.size())
    return SavingFailed(ENOSPC);
  if (::fsync(file.Fd()) != 0)
    return SavingFailed(errno);
  if (file.Close() != 0)
    return SavingFailed(errno);
  return {TEditOutcome::Written, {}, {}, std::string(bytes)};
}

} // namespace lodestar
