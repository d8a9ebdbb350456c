#pragma once

#include <string>
#include <string_view>

namespace lodestar {

// TIFF bytes become characters through Windows-1252 taken as a bijection: the five bytes it leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control characters of the same value,
// so every byte survives the round trip.
char16_t NarrowToWide(unsigned char byte);

// The inverse of NarrowToWide; characters outside the code page become '?'.
unsigned char WideToNarrow(char16_t ch);

std::u16string DecodeNarrow(std::string_view bytes);
std::string EncodeNarrow(std::u16string_view text);

// Text the program shows or writes is in the system's encoding, UTF-8 on Linux. NUL survives.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

} // namespace lodestar
