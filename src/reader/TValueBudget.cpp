#include "TValueBudget.h"

#include "CodePage.h"
#include "cLodestar.h"

#include <algorithm>

namespace lodestar {

namespace {

std::uint64_t BudgetFor(std::uint64_t fileSize) {
  return std::max(TValueBudget::MinBytes,
                  std::min(fileSize, UINT64_MAX / TValueBudget::FileMultiple) *
                      TValueBudget::FileMultiple);
}

} // namespace

TValueBudget::TValueBudget(std::uint64_t fileSize) : FTotal(BudgetFor(fileSize)), FLeft(FTotal) {}

TValueBudget::TValueBudget(const TTiffFile* file)
    : FTotal(MinBytes), FLeft(MinBytes), FFile(file) {}

void TValueBudget::Grow() {
  const std::uint64_t extra = BudgetFor(FFile->FileSize()) - MinBytes;
  FFile = nullptr;
  FTotal += extra;
  FLeft += extra;
}

bool TValueBudget::Spend(std::string& text) {
  if (FCut) {
    text = CutMark;
    return true;
  }
  if (text.size() > FLeft && FFile)
    Grow();
  if (text.size() <= FLeft) {
    FLeft -= text.size();
    return false;
  }
  std::size_t keep = static_cast<std::size_t>(FLeft);
  // Never half a UTF-8 sequence: back up over continuation bytes.
  while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
    --keep;
  text.resize(keep);
  text += CutMark;
  FLeft = 0;
  FCut = true;
  return true;
}

bool TValueBudget::Take(std::uint64_t bytes) {
  if (FCut)
    return false;
  if (bytes > FLeft && FFile)
    Grow();
  if (bytes > FLeft)
    return false;
  FLeft -= bytes;
  return true;
}

std::string TValueBudget::ValueText(const TTag& tag) {
  std::string text = FCut ? std::string() : ToUtf8(tag.Value());
  Spend(text);
  return text;
}

std::string TValueBudget::Message() const {
  return "The values of this page pass " + std::to_string(FTotal >> 20) +
         " MiB of text; those past it are cut and end in \"" + CutMark + "\"";
}

} // namespace lodestar
