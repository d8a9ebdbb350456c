// The search list behind the Batch tab's listboxTags: item rules and operations.
#include "TSearchList.h"

#include <gtest/gtest.h>

namespace lodestar {
namespace {

// The item texts, ticked ones marked.
std::vector<std::string> Texts(const TSearchList& list) {
  std::vector<std::string> texts;
  for (const auto& item : list.Items())
    texts.push_back(item.Text + (item.Ticked ? " [x]" : ""));
  return texts;
}

TEST(SearchItem, NumberAndDescription) {
  const struct {
    std::string Text;
    std::string Number;
    std::optional<std::string> Description;
  } cases[] = {
      {"300  ", "300", ""},
      {"0256  Zero", "0256", "Zero"},           // matched as text: never equals tag 256
      {"256", "256", std::nullopt},             // no blank: no description, so no header label
      {"2a5-6  Odd", "256", "Odd"},             // other characters skipped
      {"305  Scanner 2", "305", "Scanner 2"},   // the number ends at the first blank
      {"\t 257  Height", "257", "257  Height"}, // trimmed for the number only
      {"Artist", "", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetTagNumber(c.Text), c.Number) << c.Text;
    EXPECT_EQ(ItemDescription(c.Text), c.Description) << c.Text;
  }
}

TEST(SearchList, AddMoveDeleteResetAndSortedMode) {
  TSearchList list;
  EXPECT_EQ(Texts(list), DefaultSearchItemTexts()); // none ticked
  EXPECT_EQ(list.Add("256", "imagewidth"), -1);     // exists in another case
  EXPECT_EQ(list.Add(" 301", " Pad "), 9);
  EXPECT_EQ(Texts(list)[9], " 301   Pad  [x]"); // untrimmed and ticked
  list.SetTicked(1, true);
  list.Select(1);
  list.MoveUp();
  list.MoveDown();
  list.MoveDown();
  EXPECT_EQ(Texts(list)[2], "257  Imageheight [x]"); // moved with its tick and selection
  list.Delete();
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_EQ(Texts(list)[2], "270  Name");
  list.Reset();
  EXPECT_EQ(Texts(list), DefaultSearchItemTexts());
  list.Clear();
  for (const char* description : {"Imagewidth", "beta", "Alpha"})
    list.Add("256", description);
  list.Add("1000", "Big");
  list.SetTicked(0, false);
  list.Sort();
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"1000  Big [x]", "256  Alpha [x]",
                                                   "256  beta [x]", "256  Imagewidth"}));
  list.Reset(); // sorted mode stays on
  EXPECT_EQ(list.Add("100", "First"), 0);
  EXPECT_EQ(list.Add("2560", "After 256"), 2); // "256  " sorts before "2560"
  EXPECT_EQ(list.Add("999", "Last"), 11);
}

} // namespace
} // namespace lodestar
