#include "cLodestar.h"

#include <climits>

namespace lodestar {
namespace {

std::string Hex(TFileOffset value) {
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), Digits[value & 15]);
    value >>= 4;
  } while (value != 0);
  return text;
}

std::string EntryText(const TReadIssue& issue) {
  std::string text = issue.Directory;
  if (issue.Entry >= 0)
    text += ", entry " + std::to_string(issue.Entry + 1);
  return text;
}

std::string PointerText(const TReadIssue& issue) {
  return "Tag " + std::to_string(issue.Detail) + " (" + EntryText(issue) + ")";
}

} // namespace

std::string ReadIssueMessage(const TReadIssue& issue, TFileOffset fileSize, bool bigTiff) {
  switch (issue.Code) {
  case TReadIssueCode::EntryTableTruncated:
    return "streamsize";
  case TReadIssueCode::DirectoryUnreadable: {
    // The file size followed, with no separator, by the directory's end; a classic file's end as
    // the signed 32-bit number it has always been shown as.
    if (bigTiff)
      return std::to_string(fileSize) + std::to_string(issue.Detail);
    const auto end = static_cast<std::int32_t>(static_cast<std::uint32_t>(issue.Detail));
    return std::to_string(fileSize) + std::to_string(end);
  }
  case TReadIssueCode::DirectoryLoop:
    // The main chain has always ended silently where it comes back.
    if (issue.Detail == 0)
      return {};
    return PointerText(issue) + " points at " + Hex(issue.Offset) +
           "h, a directory already read: " + issue.Directory + " is not read again";
  case TReadIssueCode::PointerWrongType:
    return PointerText(issue) + " is of a type that holds no directory offsets";
  case TReadIssueCode::PointerZero:
    return PointerText(issue) + " points at offset 0";
  case TReadIssueCode::PointerOutsideFile:
    return PointerText(issue) + " points at " + Hex(issue.Offset) + "h, past the end of the file";
  case TReadIssueCode::DirectoryLimit:
    return "More directories than can be shown: " + issue.Directory +
           " and the directories after it are not read";
  case TReadIssueCode::GeoKeysMalformed:
    return "The GeoTIFF key directory of " + issue.Directory +
           " does not fit its values from key " + std::to_string(issue.Detail + 1) + " on";
  case TReadIssueCode::BadBigTiffHeader:
    return {};
  case TReadIssueCode::FileBusy:
    return "Another program was writing this file; it was read without waiting for it to finish";
  }
  return {};
}

} // namespace lodestar
