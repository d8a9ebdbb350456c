#pragma once

#include "ReportRows.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <variant>

namespace lodestar {

inline constexpr const char* OnlyAsciiText = "Only ASCII values could be edited.";
inline constexpr const char* SavingFailedText =
    "Saving failed. Make sure this file is not read-only";
inline constexpr const char* BeingEditedText =
    "The file is being edited by another program; nothing was written.";
inline constexpr const char* NotReadWholeText =
    "This value was not read whole from the file, so it cannot be edited.";
inline constexpr const char* FileChangedText =
    "The file has changed since this value was listed; nothing was written.";
inline constexpr const char* OutsideFileText =
    "The value lies outside the file; nothing was written.";

// An "Ascii" value as a listing row showed it: where it lies and the bytes the user saw there.
struct TAsciiTarget {
  std::string FilePath;
  std::int64_t Position = 0; // of the value's first byte
  std::int32_t Count = 0;    // the value's bytes, terminating NUL included
  std::string ListedBytes;   // the value's Count bytes in Windows-1252, as listed

  // The value's last byte, the NUL of a well-formed value, is never overwritten.
  std::int32_t LengthToWrite() const { return Count - 1; }
};

enum class TEditOutcome {
  Written,       // also when there was nothing to write (count 1)
  NotATagRow,    // no editor: header, blank and version rows, rows cut short
  NothingToEdit, // count 0 or less: no byte may be written, and nothing is said
  NotAscii,
  NotReadWhole,
  OutsideFile,
  FileChanged,
  BeingEdited, // another program holds the file's lock
  SavingFailed,
};

struct TEditResult {
  TEditOutcome Outcome = TEditOutcome::Written;
  std::string Message; // what the user is told; empty when nothing is said
  std::string Detail;  // the system's reason for a failed write, for the command line
  std::string Written; // the bytes written

  // The listing no longer matches the file, or the file was changed: read it again.
  bool Reload() const {
    return Outcome == TEditOutcome::Written || Outcome == TEditOutcome::FileChanged ||
           Outcome == TEditOutcome::OutsideFile;
  }
};

// The value a listing row shows, read back from its cells in the base they were built in, or why
// it cannot be edited. path is the file the rows were built from.
std::variant<TAsciiTarget, TEditResult>
AsciiTargetOfRow(const TReportRow& row, const std::string& path, TDisplayBase base);

// True when every character has a Windows-1252 byte, so it is written as exactly one byte.
bool FitsCodePage(std::u16string_view text);

// The text cut or padded with blanks to length bytes of Windows-1252.
std::string TextToWrite(std::u16string_view text, std::int32_t length);

// The positioned write (pwrite's signature); tests put a failing one in its place.
using TPositionedWrite = ssize_t (*)(int fd, const void* buffer, std::size_t count, off_t offset);

// Overwrites the value's first LengthToWrite() bytes with bytes, in place, if the file still holds
// the listed bytes there. The file is opened only for this and never created; the write is one
// positioned write followed by fsync, and anything less counts as a failure.
TEditResult WriteAsciiValue(const TAsciiTarget& target, std::string_view bytes,
                            TPositionedWrite write = nullptr);

} // namespace lodestar
