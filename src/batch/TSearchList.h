#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lodestar {

// One line of the Batch tab's check list: normally the tag number, two blanks and a description.
struct TSearchItem {
  std::string Text;
  bool Ticked = false;

  friend bool operator==(const TSearchItem&, const TSearchItem&) = default;
};

// The texts of the nine items the list holds at start-up and after Reset, none of them ticked.
const std::vector<std::string>& DefaultSearchItemTexts();

// The item number: the digits and '/' of the trimmed text up to its first blank, other characters
// skipped.
// It is matched as text, so "0256" never equals the tag number "256".
std::string GetTagNumber(std::string_view itemText);

// The text after the first blank, trimmed; none when the text holds no blank at all.
std::optional<std::string> ItemDescription(std::string_view itemText);

// The text without leading and trailing characters of code 32 or below.
std::string_view TrimControls(std::string_view text);

// The key filter of the tag-number field: digits, '/' and backspace pass.
bool IsTagNumberKey(char32_t ch);

// Text order without regard to ASCII case; bytes beyond ASCII compare by value.
int CompareTextNoCase(std::string_view a, std::string_view b);
bool EqualTextNoCase(std::string_view a, std::string_view b);

// The editable search list of the Batch tab with its single selection and its sorted mode. The
// window's list widget shows this model; every editing operation and enable rule lives here.
class TSearchList {
public:
  TSearchList() { Reset(); }

  int Count() const { return static_cast<int>(FItems.size()); }
  const std::vector<TSearchItem>& Items() const { return FItems; }
  const TSearchItem& Item(int index) const { return FItems.at(static_cast<std::size_t>(index)); }
  void SetTicked(int index, bool ticked) {
    FItems.at(static_cast<std::size_t>(index)).Ticked = ticked;
  }

  // -1 when nothing is selected. Select takes -1 or an index of the list.
  int Selected() const { return FSelected; }
  void Select(int index);

  bool SortedMode() const { return FSortedMode; }

  // Adds tagNumber, two blanks and description, both untrimmed, ticked; at the end, or at its
  // place in text order in sorted mode. Does nothing when the trimmed tag number is empty or an
  // item of the same text, case ignored, exists. Returns the new item's index or -1.
  int Add(const std::string& tagNumber, const std::string& description);
  // Removes the selected item; nothing is selected afterwards.
  void Delete();
  // Text order without regard to case, stable, ticks kept; sorted mode stays on from here.
  void Sort();
  // Move the selected item one place and keep it selected. They rely on their enable rules.
  void MoveUp();
  void MoveDown();
  // The nine default items, none ticked; no selection; sorted mode unchanged.
  void Reset();
  // No items at all, as the command line starts its own list.
  void Clear() {
    FItems.clear();
    FSelected = -1;
  }

  static bool CanAdd(std::string_view tagNumber) { return !TrimControls(tagNumber).empty(); }
  bool CanDelete() const { return FSelected >= 0; }
  bool CanSort() const { return !FItems.empty(); }
  bool CanMoveUp() const { return FSelected > 0; }
  bool CanMoveDown() const { return FSelected >= 0 && FSelected + 1 < Count(); }

  // The texts of the ticked items in list order, into out (its capacity is reused).
  void TickedTexts(std::vector<std::string>& out) const;

private:
  std::vector<TSearchItem> FItems;
  int FSelected = -1;
  bool FSortedMode = false;
};

} // namespace lodestar
