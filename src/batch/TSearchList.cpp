#include "TSearchList.h"

#include <algorithm>
#include <utility>

namespace lodestar {

namespace {

unsigned char FoldCase(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

} // namespace

const std::vector<std::string>& DefaultSearchItemTexts() {
  static const std::vector<std::string> texts = {
      "256  Imagewidth",  "257  Imageheight", "269  Description", "270  Name",   "282  XResolution",
      "283  YResolution", "305  Software",    "306  DateTime",    "315  Artist",
  };
  return texts;
}

std::string_view TrimControls(std::string_view text) {
  auto isControl = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!text.empty() && isControl(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isControl(text.back()))
    text.remove_suffix(1);
  return text;
}

std::string GetTagNumber(std::string_view itemText) {
  std::string number;
  for (char c : TrimControls(itemText)) {
    if (c == ' ')
      break;
    // A '/' joins the numbers of a path into a sub-directory ("34665/36867").
    if ((c >= '0' && c <= '9') || c == '/')
      number += c;
  }
  return number;
}

std::optional<std::string> ItemDescription(std::string_view itemText) {
  const auto blank = itemText.find(' ');
  if (blank == std::string_view::npos)
    return std::nullopt;
  return std::string(TrimControls(itemText.substr(blank + 1)));
}

bool IsTagNumberKey(char32_t ch) {
  return (ch >= U'0' && ch <= U'9') || ch == U'/' || ch == 8;
}

int CompareTextNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i])
      continue; // names in one directory share long runs; equal bytes fold alike
    const unsigned char x = FoldCase(static_cast<unsigned char>(a[i]));
    const unsigned char y = FoldCase(static_cast<unsigned char>(b[i]));
    if (x != y)
      return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool EqualTextNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareTextNoCase(a, b) == 0;
}

void TSearchList::Select(int index) {
  FSelected = index >= 0 && index < Count() ? index : -1;
}

int TSearchList::Add(const std::string& tagNumber, const std::string& description) {
  if (!CanAdd(tagNumber))
    return -1;
  std::string text = tagNumber + "  " + description;
  for (const auto& item : FItems)
    if (EqualTextNoCase(item.Text, text))
      return -1;
  auto place = FItems.end();
  // In a list still in text order this is the item's place in that order; in one reordered by
  // hand after the sort it is still a place that keeps the items around it ordered.
  if (FSortedMode)
    place = std::find_if(FItems.begin(), FItems.end(), [&](const TSearchItem& item) {
      return CompareTextNoCase(item.Text, text) > 0;
    });
  const auto index = static_cast<int>(place - FItems.begin());
  if (FSelected >= index)
    ++FSelected;
  FItems.insert(place, TSearchItem{std::move(text), true});
  return index;
}

void TSearchList::Delete() {
  if (!CanDelete())
    return;
  FItems.erase(FItems.begin() + FSelected);
  FSelected = -1;
}

void TSearchList::Sort() {
  // The selection follows its item, as it does when the list widget sorts itself.
  std::vector<std::pair<TSearchItem, bool>> items;
  items.reserve(FItems.size());
  for (int i = 0; i < Count(); ++i)
    items.emplace_back(std::move(FItems[i]), i == FSelected);
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    return CompareTextNoCase(a.first.Text, b.first.Text) < 0;
  });
  FItems.clear();
  FSelected = -1;
  for (auto& [item, selected] : items) {
    if (selected)
      FSelected = Count();
    FItems.push_back(std::move(item));
  }
  FSortedMode = true;
}

void TSearchList::MoveUp() {
  if (!CanMoveUp())
    return;
  std::swap(FItems[FSelected], FItems[FSelected - 1]);
  --FSelected;
}

void TSearchList::MoveDown() {
  if (!CanMoveDown())
    return;
  std::swap(FItems[FSelected], FItems[FSelected + 1]);
  ++FSelected;
}

void TSearchList::Reset() {
  FItems.clear();
  for (const auto& text : DefaultSearchItemTexts())
    FItems.push_back({text, false});
  FSelected = -1;
}

void TSearchList::TickedTexts(std::vector<std::string>& out) const {
  // Assigning over the old texts keeps their buffers: the run asks for this before every record.
  std::size_t n = 0;
  for (const auto& item : FItems) {
    if (!item.Ticked)
      continue;
    if (n < out.size())
      out[n] = item.Text;
    else
      out.push_back(item.Text);
    ++n;
  }
  out.resize(n);
}

} // namespace lodestar
