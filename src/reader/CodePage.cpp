#include "CodePage.h"

#include <array>

namespace lodestar {
namespace {

// Windows-1252 from 0x80 to 0x9F. The bytes it leaves undefined keep their own value, which makes
// the mapping a bijection.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t Replacement = 0xFFFD;

} // namespace

char16_t NarrowToWide(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0)
    return HighControls[byte - 0x80];
  return byte;
}

unsigned char WideToNarrow(char16_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
    return static_cast<unsigned char>(ch);
  for (std::size_t i = 0; i < HighControls.size(); ++i)
    if (HighControls[i] == ch)
      return static_cast<unsigned char>(0x80 + i);
  return '?';
}

std::u16string DecodeNarrow(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i)
    text[i] = NarrowToWide(static_cast<unsigned char>(bytes[i]));
  return text;
}

std::string EncodeNarrow(std::u16string_view text) {
  std::string bytes(text.size(), '\0');
  for (std::size_t i = 0; i < text.size(); ++i)
    bytes[i] = static_cast<char>(WideToNarrow(text[i]));
  return bytes;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = Replacement;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = -1;
    char32_t cp = 0;
    if (lead < 0x80) {
      extra = 0, cp = lead;
    } else if ((lead >> 5) == 0x6) {
      extra = 1, cp = lead & 0x1F;
    } else if ((lead >> 4) == 0xE) {
      extra = 2, cp = lead & 0x0F;
    } else if ((lead >> 3) == 0x1E) {
      extra = 3, cp = lead & 0x07;
    }
    bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80)
        valid = false;
      else
        cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static constexpr char32_t MinForLength[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (cp < MinForLength[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
      valid = false;
    if (!valid) {
      out += Replacement;
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

} // namespace lodestar
