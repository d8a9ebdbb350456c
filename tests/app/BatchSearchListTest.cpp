// The search list through its widgets: the list shows the model, ticks and selection made in the
// widget reach the model, and every button follows its enable rule at the idle update.
#include "BatchTestSupport.h"

#include <QTest>
#include <QToolButton>

namespace lodestar::test {
namespace {

class BatchSearchList : public BatchTest {
protected:
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < Form->listboxTags->count(); ++i)
      texts.push_back(Form->listboxTags->item(i)->text().toStdString());
    return texts;
  }
  std::vector<int> TickedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < Form->listboxTags->count(); ++i)
      if (Form->listboxTags->item(i)->checkState() == Qt::Checked)
        rows.push_back(i);
    return rows;
  }
  // The widget and the model agree item by item, ticks and selection included.
  void ExpectInStep() const {
    const auto& items = Form->FSearchList.Items();
    ASSERT_EQ(Form->listboxTags->count(), Form->FSearchList.Count());
    for (int i = 0; i < Form->FSearchList.Count(); ++i) {
      EXPECT_EQ(Texts()[static_cast<std::size_t>(i)], items[static_cast<std::size_t>(i)].Text);
      EXPECT_EQ(Form->listboxTags->item(i)->checkState() == Qt::Checked,
                items[static_cast<std::size_t>(i)].Ticked)
          << i;
    }
    const auto selected = Form->listboxTags->selectedItems();
    EXPECT_EQ(selected.isEmpty() ? -1 : Form->listboxTags->row(selected.first()),
              Form->FSearchList.Selected());
  }
  void Select(int row) {
    Form->listboxTags->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    Update();
  }
  // Enabled state of Delete, Move up, Move down.
  std::vector<bool> RowButtons() const {
    return {Form->BitBtnDeleteTagEntry->isEnabled(), Form->spBtnMoveTagUp->isEnabled(),
            Form->spBtnMoveTagDown->isEnabled()};
  }
};

TEST_F(BatchSearchList, SelectionDecidesDeleteAndMoveButtons) {
  EXPECT_EQ(RowButtons(), (std::vector<bool>{false, false, false}));
  Select(0);
  EXPECT_EQ(RowButtons(), (std::vector<bool>{true, false, true}));
  Select(4);
  EXPECT_EQ(RowButtons(), (std::vector<bool>{true, true, true}));
  Select(8);
  EXPECT_EQ(RowButtons(), (std::vector<bool>{true, true, false}));
  Form->listboxTags->clearSelection();
  Update();
  EXPECT_EQ(RowButtons(), (std::vector<bool>{false, false, false}));
}

TEST_F(BatchSearchList, MovesCarryTickAndSelection) {
  Tick({0});
  Select(0);
  Form->spBtnMoveTagDown->click();
  Update();
  Form->spBtnMoveTagDown->click();
  Update();
  EXPECT_EQ(Texts()[2], "256  Imagewidth");
  EXPECT_EQ(TickedRows(), (std::vector<int>{2}));
  ExpectInStep();
  EXPECT_EQ(Form->FSearchList.Selected(), 2);
  Form->spBtnMoveTagUp->click();
  Update();
  EXPECT_EQ(Texts()[1], "256  Imagewidth");
  EXPECT_EQ(TickedRows(), (std::vector<int>{1}));
  ExpectInStep();
}

TEST_F(BatchSearchList, DeleteRemovesTheSelectedItemAndLeavesNoSelection) {
  Tick({3, 4});
  Select(3);
  Form->BitBtnDeleteTagEntry->click();
  Update();
  EXPECT_EQ(Texts().size(), 8u);
  EXPECT_EQ(Texts()[3], "282  XResolution");
  EXPECT_EQ(TickedRows(), (std::vector<int>{3}));
  EXPECT_EQ(RowButtons(), (std::vector<bool>{false, false, false}));
  ExpectInStep();
}

TEST_F(BatchSearchList, AddTicksTheNewItemAndIgnoresTextsThatExistInAnyCase) {
  AddItem("256", "imagewidth"); // exists, case aside
  EXPECT_EQ(Texts(), DefaultSearchItemTexts());
  AddItem("256", "Width");
  AddItem("300", "");
  EXPECT_EQ(Texts().size(), 11u);
  EXPECT_EQ(Texts()[9], "256  Width");
  EXPECT_EQ(Texts()[10], "300  ");
  EXPECT_EQ(TickedRows(), (std::vector<int>{9, 10}));
  // The fields keep their texts after Add.
  EXPECT_EQ(Form->edtTagNumber->text(), "300");
  ExpectInStep();
}

TEST_F(BatchSearchList, TagNumberFieldTakesDigitsAndBackspaceOnly) {
  QTest::keyClicks(Form->edtTagNumber, "2a5");
  EXPECT_EQ(Form->edtTagNumber->text(), "25");
  QTest::keyClicks(Form->edtTagNumber, " -;9");
  EXPECT_EQ(Form->edtTagNumber->text(), "259");
  QTest::keyClick(Form->edtTagNumber, Qt::Key_Backspace);
  EXPECT_EQ(Form->edtTagNumber->text(), "25");
  // Text placed there by other means is not filtered, and Add takes it as it stands.
  AddItem("x1", "odd");
  EXPECT_EQ(Texts().back(), "x1  odd");
}

TEST_F(BatchSearchList, SortKeepsTicksAndLaterAddsFindTheirPlace) {
  for (int i = 0; i < 7; ++i) {
    Select(1);
    Form->BitBtnDeleteTagEntry->click();
  }
  Tick({1});
  Select(1);
  Form->spBtnMoveTagUp->click();
  Update();
  ASSERT_EQ(Texts(), (std::vector<std::string>{"315  Artist", "256  Imagewidth"}));
  Form->spbtnSort->click();
  Update();
  EXPECT_EQ(Texts(), (std::vector<std::string>{"256  Imagewidth", "315  Artist"}));
  EXPECT_EQ(TickedRows(), (std::vector<int>{1}));
  AddItem("999", "");
  AddItem("100", "");
  EXPECT_EQ(Texts(),
            (std::vector<std::string>{"100  ", "256  Imagewidth", "315  Artist", "999  "}));
  EXPECT_EQ(TickedRows(), (std::vector<int>{0, 2, 3}));
  ExpectInStep();
}

TEST_F(BatchSearchList, ResetRestoresTheDefaultsUntickedWithoutSelection) {
  Tick({0, 5});
  AddItem("700", "XMP");
  Select(2);
  Form->BitBtnDeleteTagEntry->click();
  Select(3);
  Form->btnReset->click();
  Update();
  EXPECT_EQ(Texts(), DefaultSearchItemTexts());
  EXPECT_TRUE(TickedRows().empty());
  EXPECT_EQ(RowButtons(), (std::vector<bool>{false, false, false}));
  ExpectInStep();
}

} // namespace
} // namespace lodestar::test
