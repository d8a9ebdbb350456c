#include "EscapeControls.h"

#include <cstdio>

namespace lodestar::cli {

namespace {

// Length of the valid UTF-8 sequence at the start of text, or 0.
std::size_t SequenceLength(std::string_view text, char32_t& code) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0x80                   ? 1
                       : lead >= 0xC2 && lead < 0xE0 ? 2
                       : lead >= 0xE0 && lead < 0xF0 ? 3
                       : lead >= 0xF0 && lead < 0xF5 ? 4
                                                     : 0;
  if (length == 0 || length > text.size())
    return 0;
  code = length == 1 ? lead : lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[i]);
    if ((next & 0xC0) != 0x80)
      return 0;
    code = (code << 6) | (next & 0x3F);
  }
  static constexpr char32_t MinForLength[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < MinForLength[length] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
    return 0;
  return length;
}

} // namespace

std::string EscapeControls(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char hex[8];
  while (!text.empty()) {
    char32_t code = 0;
    const std::size_t length = SequenceLength(text, code);
    if (length == 0 || code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      // A C1 control is escaped by its code, a byte of no character by its value.
      const unsigned value = length == 0 ? static_cast<unsigned char>(text[0]) : code;
      std::snprintf(hex, sizeof hex, "\\x%02X", value);
      out += hex;
      text.remove_prefix(length == 0 ? 1 : length);
      continue;
    }
    if (code == '\\')
      out += '\\';
    out.append(text.substr(0, length));
    text.remove_prefix(length);
  }
  return out;
}

bool IsUtf8(std::string_view text) {
  while (!text.empty()) {
    char32_t code = 0;
    const std::size_t length = SequenceLength(text, code);
    if (length == 0)
      return false;
    text.remove_prefix(length);
  }
  return true;
}

std::string CutFromLeft(const std::string& text, std::size_t width) {
  if (text.size() <= width || width < 3)
    return text;
  std::size_t start = text.size() - (width - 3);
  // Continuation bytes of UTF-8 are 10xxxxxx: step to the start of a character.
  while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
    ++start;
  return "..." + text.substr(start);
}

} // namespace lodestar::cli
