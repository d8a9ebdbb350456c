#include "TSearchList.h"

#include <gtest/gtest.h>

namespace lodestar {
namespace {

std::vector<std::string> Texts(const TSearchList& list) {
  std::vector<std::string> texts;
  for (const auto& item : list.Items())
    texts.push_back(item.Text);
  return texts;
}

std::vector<std::string> Ticked(const TSearchList& list) {
  std::vector<std::string> texts;
  list.TickedTexts(texts);
  return texts;
}

struct TItemRuleCase {
  const char* Name;
  std::string Text;
  std::string Number;
  std::optional<std::string> Description;
};

class ItemRules : public testing::TestWithParam<TItemRuleCase> {};

TEST_P(ItemRules, NumberAndDescription) {
  const auto& c = GetParam();
  EXPECT_EQ(GetTagNumber(c.Text), c.Number);
  EXPECT_EQ(ItemDescription(c.Text), c.Description);
}

INSTANTIATE_TEST_SUITE_P(
    SearchItem, ItemRules,
    testing::Values(
        TItemRuleCase{"Default", "256  Imagewidth", "256", "Imagewidth"},
        TItemRuleCase{"EmptyDescription", "300  ", "300", ""},
        TItemRuleCase{"LeadingZeroKept", "0256  Imagewidth", "0256", "Imagewidth"},
        TItemRuleCase{"NoBlankHasNoDescription", "256", "256", std::nullopt},
        TItemRuleCase{"OtherCharactersSkipped", "2a5-6  Odd", "256", "Odd"},
        TItemRuleCase{"LeadingControlsTrimmedForNumber", "\t 257  Height", "257", "257  Height"},
        TItemRuleCase{"DescriptionTrimmedOfControls", "282 \tX Res\t \r", "282", "X Res"},
        TItemRuleCase{"NumberStopsAtFirstBlank", "31 5  Artist", "31", "5  Artist"},
        TItemRuleCase{"NoDigits", "Artist", "", std::nullopt}),
    [](const auto& info) { return info.param.Name; });

TEST(SearchItem, KeyFilterPassesDigitsAndBackspaceOnly) {
  std::string field;
  for (char32_t ch : std::u32string(U"2a5 -\x08"
                                    U"9é")) {
    if (!IsTagNumberKey(ch))
      continue;
    if (ch == 8)
      field.pop_back();
    else
      field += static_cast<char>(ch);
  }
  EXPECT_EQ(field, "29");
}

TEST(SearchList, StartsWithTheNineDefaultsUnticked) {
  TSearchList list;
  EXPECT_EQ(Texts(list), DefaultSearchItemTexts());
  EXPECT_EQ(list.Count(), 9);
  EXPECT_TRUE(Ticked(list).empty());
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_FALSE(list.SortedMode());
}

TEST(SearchList, AddRefusesDuplicatesWithoutRegardToCase) {
  TSearchList list;
  EXPECT_EQ(list.Add("256", "Imagewidth"), -1);
  EXPECT_EQ(list.Add("256", "imagewidth"), -1);
  EXPECT_EQ(list.Count(), 9);
  EXPECT_EQ(list.Add("256", "Width"), 9);
  EXPECT_EQ(list.Item(9).Text, "256  Width");
  EXPECT_TRUE(list.Item(9).Ticked);
}

TEST(SearchList, AddKeepsTheFieldsUntrimmed) {
  TSearchList list;
  list.Add("300", "");
  EXPECT_EQ(list.Item(9).Text, "300  ");
  list.Add(" 301", " Pad ");
  EXPECT_EQ(list.Item(10).Text, " 301   Pad ");
  EXPECT_EQ(list.Add(" \t", "Nothing"), -1); // a blank number adds nothing
  EXPECT_EQ(list.Count(), 11);
}

TEST(SearchList, AddInSortedModeGoesToItsPlace) {
  TSearchList list;
  list.Sort();
  EXPECT_EQ(Texts(list), DefaultSearchItemTexts()); // already in text order
  EXPECT_EQ(list.Add("100", "First"), 0);
  EXPECT_EQ(list.Add("999", "Last"), 10);
  EXPECT_EQ(list.Add("2560", "After 256"), 2); // the blank after 256 sorts before 0
  EXPECT_TRUE(list.Item(0).Ticked);
  EXPECT_EQ(list.Item(11).Text, "999  Last");
  EXPECT_TRUE(list.Item(11).Ticked);
  EXPECT_FALSE(list.Item(1).Ticked);
}

TEST(SearchList, SortIsTextOrderIgnoringCaseAndKeepsTicks) {
  TSearchList list;
  list.Clear();
  list.Add("315", "Artist");
  list.Add("256", "Imagewidth");
  list.SetTicked(1, false);
  list.Add("1000", "Big");
  list.Add("256", "alpha");
  list.Add("256", "Beta");
  list.Sort();
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"1000  Big", "256  alpha", "256  Beta",
                                                   "256  Imagewidth", "315  Artist"}));
  EXPECT_EQ(Ticked(list),
            (std::vector<std::string>{"1000  Big", "256  alpha", "256  Beta", "315  Artist"}));
  EXPECT_TRUE(list.SortedMode());
}

TEST(SearchList, SortedModeStaysOnAfterResetAndMoves) {
  TSearchList list;
  list.Sort();
  list.Select(0);
  list.MoveDown();
  list.Reset();
  EXPECT_TRUE(list.SortedMode());
  EXPECT_EQ(list.Add("100", "First"), 0);
}

TEST(SearchList, MovesCarryTicksAndSelection) {
  TSearchList list;
  list.SetTicked(1, true);
  list.Select(1);
  list.MoveUp();
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(list.Item(0).Text, "257  Imageheight");
  EXPECT_TRUE(list.Item(0).Ticked);
  EXPECT_FALSE(list.Item(1).Ticked);
  list.MoveDown();
  list.MoveDown();
  EXPECT_EQ(list.Selected(), 2);
  EXPECT_EQ(list.Item(2).Text, "257  Imageheight");
  EXPECT_EQ(list.Item(1).Text, "269  Description");
}

TEST(SearchList, DeleteRemovesTheSelectedItemAndTheSelection) {
  TSearchList list;
  list.SetTicked(2, true);
  list.Select(2);
  list.Delete();
  EXPECT_EQ(list.Count(), 8);
  EXPECT_EQ(list.Item(2).Text, "270  Name");
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_TRUE(Ticked(list).empty());
}

TEST(SearchList, ResetRestoresTheDefaultsUntickedWithoutSelection) {
  TSearchList list;
  list.Add("100", "X");
  list.SetTicked(3, true);
  list.Select(4);
  list.Reset();
  EXPECT_EQ(Texts(list), DefaultSearchItemTexts());
  EXPECT_TRUE(Ticked(list).empty());
  EXPECT_EQ(list.Selected(), -1);
}

TEST(SearchList, EnableRules) {
  EXPECT_FALSE(TSearchList::CanAdd(" \t"));
  EXPECT_TRUE(TSearchList::CanAdd(" 7 "));
  TSearchList list;
  EXPECT_FALSE(list.CanDelete());
  EXPECT_FALSE(list.CanMoveUp());
  EXPECT_FALSE(list.CanMoveDown());
  EXPECT_TRUE(list.CanSort());

  list.Select(0);
  EXPECT_TRUE(list.CanDelete());
  EXPECT_FALSE(list.CanMoveUp());
  EXPECT_TRUE(list.CanMoveDown());

  list.Select(8);
  EXPECT_TRUE(list.CanMoveUp());
  EXPECT_FALSE(list.CanMoveDown());

  list.Select(99); // no such item: nothing selected
  EXPECT_FALSE(list.CanDelete());

  list.Clear();
  EXPECT_FALSE(list.CanSort());
  list.Add("1", "One");
  list.Select(0);
  EXPECT_FALSE(list.CanMoveUp());
  EXPECT_FALSE(list.CanMoveDown());
}

TEST(SearchList, MovesOutsideTheirEnableRulesChangeNothing) {
  TSearchList list;
  list.MoveUp();
  list.MoveDown();
  list.Delete();
  list.Select(0);
  list.MoveUp();
  EXPECT_EQ(Texts(list), DefaultSearchItemTexts());
  EXPECT_EQ(list.Selected(), 0);
}

} // namespace
} // namespace lodestar
