#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

class TTiffFile;

enum class TDisplayBase { Dec, Hex };

// The entry a tag row lists, typed, so that the editor (and any other consumer) never reads
// numbers back out of display cells.
struct TEntryRef {
  std::string Directory;  // empty for the page's own entries, else the sub-directory's name
  int Index = 0;          // 0-based, in its directory
  std::uint16_t Code = 0; // the tag number
  bool Ascii = false;     // of the type the editor writes
  std::uint64_t Count = 0;
  std::uint64_t ValuePos = 0;
  bool ViewCut =
      false; // the value cell holds the start of the value only: the view's budget ran out
};

// One row of the Info listing: the "Nr" cell and the further cells for columns 1, 2, ... filled
// from the left. A row may carry fewer further cells than there are columns; a missing cell is
// told from an empty one by SubItems.size(). Cells are UTF-8 and keep NUL characters (an "Ascii"
// value ends with its NUL); the list shows a cell up to its first NUL.
struct TReportRow {
  std::string Caption;
  std::vector<std::string> SubItems;
  std::optional<TEntryRef> Entry = std::nullopt; // tag rows only

  // Rows are alike when they show alike.
  friend bool operator==(const TReportRow& a, const TReportRow& b) {
    return a.Caption == b.Caption && a.SubItems == b.SubItems;
  }
};

// The listing of one page of a loaded file, built from scratch.
struct TReportRows {
  std::string FilePath; // the full path the rows were built from
  int Page = 0;         // the page number the rows were built for (FCurrentPage)
  std::vector<TReportRow> Rows;
  // True when building failed ("Input file wrong"): Rows then holds the rows built so far, the
  // last one with the cells it had received.
  bool InputFileWrong = false;
  // Set when the values passed the view's budget and were cut: the message to pass on once.
  std::string ValuesCutMessage;
};

inline constexpr const char* InputFileWrongText = "Input file wrong";
// The label of the version row and the fixed text beside it.
inline constexpr const char* VersionRowLabel = "Lodestar Ver 4.0";
inline constexpr const char* VersionRowText = "Lodestar V5.3";
inline constexpr int ReportColumnCount = 8;

// Column captions, widths and alignments of the listing.
struct TReportColumn {
  const char* Caption;
  int Width;
  bool RightAligned;
};
extern const TReportColumn ReportColumns[ReportColumnCount];

// A cell as the list shows it: up to its first NUL.
inline std::string_view VisibleText(std::string_view cell) {
  return cell.substr(0, cell.find('\0'));
}

// The file name without its directory: the part after the last '/' (also '\\' or ':' on Windows).
std::string FileNameOnly(const std::string& path);

// A position or count in the display base: decimal, or upper-case hexadecimal without prefix.
std::string FormatInBase(std::uint64_t value, TDisplayBase base);

// The header block, the tag rows of page (1-based), with subDirectories a block for each of its
// sub-directories (a heading row, then rows captioned "Exif 3" and so on) and one for its GeoTIFF
// keys, and the closing block. Without subDirectories, the page's own entries only.
TReportRows BuildReportRows(const TTiffFile& file, int page, TDisplayBase base,
                            bool subDirectories = true);

} // namespace lodestar
