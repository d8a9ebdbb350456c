#include "StatusPanels.h"

#include "cLodestar.h"

#include <charconv>
#include <cstdint>

namespace lodestar {

EZeroDivide::EZeroDivide() : ELodestarError("Floating point division by zero") {}

namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t CharacterCount(const std::string& text) {
  std::size_t n = 0;
  for (char c : text)
    if (!IsContinuationByte(c))
      ++n;
  return n;
}

// The byte offset at which the last count characters of text begin.
std::size_t OffsetOfLastCharacters(const std::string& text, std::size_t count) {
  std::size_t pos = text.size();
  while (count > 0 && pos > 0) {
    --pos;
    if (!IsContinuationByte(text[pos]))
      --count;
  }
  return pos;
}

// Pixels over pixels per inch, in millimetres; the resolution unit tag is not consulted.
long double Millimetres(std::int32_t pixels, std::int32_t pixelsPerInch) {
  if (pixelsPerInch == 0)
    throw EZeroDivide();
  return static_cast<long double>(pixels) / pixelsPerInch * 25.4L;
}

} // namespace

std::string FileNamePanelText(const std::string& fileName) {
  const std::size_t n = CharacterCount(fileName);
  if (n < 30)
    return "Filename: " + fileName;
  return "..." + fileName.substr(OffsetOfLastCharacters(fileName, 31));
}

std::string PagePanelText(int currentPage, int pageCount) {
  return "Page " + std::to_string(currentPage) + " of " + std::to_string(pageCount);
}

std::string FormatMillimetres(long double value, std::string_view decimalSeparator) {
  // to_chars rather than printf: the process locale of a Qt program is the user's, and the
  // separator is put in explicitly below.
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  if (const auto point = text.find('.'); point != std::string::npos)
    text.replace(point, 1, decimalSeparator);
  const std::size_t width = CharacterCount(text);
  if (width < 8)
    text.insert(0, 8 - width, ' ');
  return text;
}

std::string PageSizePanelText(const TTiffFile& file, int currentPage,
                              std::string_view decimalSeparator) {
  const TTiffPage* page = file.Pages().GetPage(currentPage - 1);
  if (page == nullptr)
    return {};
  // One look-up after the other, so a file with several bad texts always reports the same one.
  const std::int32_t imageWidth = page->ImageWidth();
  const std::int32_t xResolution = page->XResolution();
  const long double width = Millimetres(imageWidth, xResolution);
  const std::int32_t imageLength = page->ImageLength();
  const std::int32_t yResolution = page->YResolution();
  const long double length = Millimetres(imageLength, yResolution);
  return "Width: " + FormatMillimetres(width, decimalSeparator) + " mm;" +
         "  Length: " + FormatMillimetres(length, decimalSeparator) + " mm";
}

} // namespace lodestar
