#pragma once

#include "Errors.h"

#include <string>
#include <string_view>

namespace lodestar {

class TTiffFile;

// "Floating point division by zero": a page size asked of a resolution of 0.
class EZeroDivide : public ELodestarError {
public:
  EZeroDivide();
};

// Panel 0: "Filename: " and the path while it is shorter than 30 characters, otherwise "..." and
// its last 31 characters (all 30 of a 30-character path). Characters, not bytes, are counted.
std::string FileNamePanelText(const std::string& fileName);

// Panel 1: "Page 2 of 5".
std::string PagePanelText(int currentPage, int pageCount);

// Panel 2: "Width: %8.2f mm;  Length: %8.2f mm" with decimalSeparator in place of the point, or
// empty when the file has no page number currentPage. Raises EConvertError for a size or
// resolution text that is not a whole number and EZeroDivide for a resolution of 0.
std::string PageSizePanelText(const TTiffFile& file, int currentPage,
                              std::string_view decimalSeparator);

// One millimetre figure as "%8.2f" would write it, with decimalSeparator for the point.
std::string FormatMillimetres(long double value, std::string_view decimalSeparator);

} // namespace lodestar
