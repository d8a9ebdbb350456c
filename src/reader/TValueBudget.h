#pragma once

#include <cstdint>
#include <string>

namespace lodestar {

class TTag;
class TTiffFile;

// The value text one view builds for one page (a listing, a report, a JSON page, a batch record).
// Reading is bounded by the file, but entries may all name the same large value, so a view that
// copied every value would grow with entries times value size. Past the budget values are cut and
// end in CutMark; values after that hold the mark only and are never built.
class TValueBudget {
public:
  static constexpr std::uint64_t MinBytes = std::uint64_t{16} << 20;
  static constexpr std::uint64_t FileMultiple = 4;
  // U+2026 in UTF-8: visible in every view and in every record format.
  static constexpr const char* CutMark = "\xE2\x80\xA6";

  // The larger of MinBytes and FileMultiple times the file's size.
  explicit TValueBudget(std::uint64_t fileSize);
  // For the file's pages; a page without a file has the least budget.
  explicit TValueBudget(const TTiffFile* file);

  // True once a value was cut: later values are the mark alone, whatever their size.
  bool Spent() const { return FCut; }
  // Counts text against the budget; cuts it, on a character boundary, and marks it where it
  // passes what is left. Returns whether text was cut.
  bool Spend(std::string& text);
  // Counts bytes of text against the budget when they fit in what is left; false, counting
  // nothing, when Spend would cut them.
  bool Take(std::uint64_t bytes);
  // The tag's value text in UTF-8, spent; not built at all once the budget is spent.
  std::string ValueText(const TTag& tag);

  // The message a view passes on, once, when it cut values.
  std::string Message() const;

private:
  void Grow();

  std::uint64_t FTotal;
  std::uint64_t FLeft;
  const TTiffFile* FFile = nullptr; // whose size is still to be added
  bool FCut = false;
};

} // namespace lodestar
