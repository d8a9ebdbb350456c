#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

class TTiffFile;

enum class TDisplayBase { Dec, Hex };

// One row of the Info listing: the "Nr" cell and the further cells for columns 1, 2, ... filled
// from the left. A row may carry fewer further cells than there are columns; a missing cell is
// told from an empty one by SubItems.size(). Cells are UTF-8 and keep NUL characters (an "Ascii"
// value ends with its NUL); the list shows a cell up to its first NUL.
struct TReportRow {
  std::string Caption;
  std::vector<std::string> SubItems;

  friend bool operator==(const TReportRow&, const TReportRow&) = default;
};

// The listing of one page of a loaded file, built from scratch.
struct TReportRows {
  std::string FilePath; // the full path the rows were built from
  int Page = 0;         // the page number the rows were built for (FCurrentPage)
  std::vector<TReportRow> Rows;
  // True when building failed ("Input file wrong"): Rows then holds the rows built so far, the
  // last one with the cells it had received.
  bool InputFileWrong = false;
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

// The header block, the tag rows of page (1-based) and the closing block.
TReportRows BuildReportRows(const TTiffFile& file, int page, TDisplayBase base);

} // namespace lodestar
