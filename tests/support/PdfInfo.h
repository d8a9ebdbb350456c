#pragma once

#include "RunProgram.h"

#include <string>

namespace lodestar::test {

// What poppler's pdfinfo says of a PDF on the line of key ("Pages", "Page size", "Title").
inline std::string PdfInfo(const std::string& pdf, const std::string& key) {
  const std::string info = RunProgram("pdfinfo", {pdf}).Out;
  const std::size_t at = info.find(key + ":");
  if (at == std::string::npos)
    return "(none)";
  const std::size_t value = info.find_first_not_of(' ', at + key.size() + 1);
  return info.substr(value, info.find('\n', value) - value);
}

} // namespace lodestar::test
