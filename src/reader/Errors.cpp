#include "Errors.h"

#include <charconv>

namespace lodestar {

EInvalidTiff::EInvalidTiff() : ELodestarError("Not a valid tiff file") {}

EReadError::EReadError() : ELodestarError("Stream read error") {}

EFOpenError::EFOpenError(const std::string& path, const std::string& reason)
    : ELodestarError("Cannot open file \"" + path + "\". " + reason) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& reason)
    : ELodestarError("Cannot create file \"" + path + "\". " + reason) {}

EConvertError::EConvertError(const std::string& text)
    : ELodestarError("'" + text + "' is not a valid integer value") {}

int StrToInt(const std::string& text) {
  const char* first = text.data();
  const char* last = first + text.size();
  // from_chars takes a minus sign but not a plus sign.
  if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
    ++first;
  int value = 0;
  auto [end, ec] = std::from_chars(first, last, value, 10);
  if (ec != std::errc() || end != last || first == last)
    throw EConvertError(text);
  return value;
}

} // namespace lodestar
