// Next and Previous: their enable rules, their pictures and the idle-time update that applies
// them.
#include "AppTestSupport.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>

namespace lodestar::test {
namespace {

struct TStep {
  const char* Name;
  int Pages;
  int Page;
  bool Next;
  bool Previous;
};

class Navigation : public AppTest, public ::testing::WithParamInterface<TStep> {
protected:
  std::string FileOf(int pages) {
    TTiffBuilder b;
    std::vector<std::vector<TEntrySpec>> chain;
    for (int i = 0; i < pages; ++i)
      chain.push_back(ScanPage(b, 2480, 3508, 300, "page " + std::to_string(i + 1)));
    b.Pages(chain);
    return Save(b, "pages.tif");
  }
};

TEST_P(Navigation, EnableRulesAndPictures) {
  const TStep& s = GetParam();
  Start();
  OpenByDialog(FileOf(s.Pages));
  for (int page = 1; page < s.Page; ++page)
    Next();
  EXPECT_EQ(Form->FCurrentPage, s.Page);
  EXPECT_EQ(Panel(1), "Page " + std::to_string(s.Page) + " of " + std::to_string(s.Pages));
  EXPECT_EQ(Form->ActionNextPage->isEnabled(), s.Next);
  EXPECT_EQ(Form->ActionPrevPage->isEnabled(), s.Previous);
  EXPECT_EQ(TForm1::ImageIndex(Form->ActionNextPage), s.Next ? 12 : 14);
  EXPECT_EQ(TForm1::ImageIndex(Form->ActionPrevPage), s.Previous ? 11 : 13);
  // The bound button and menu item show the action's state and picture.
  EXPECT_EQ(Form->tbNext->isEnabled(), s.Next);
  EXPECT_EQ(Form->tbPrevious->isEnabled(), s.Previous);
  EXPECT_EQ(Form->tbNext->icon().cacheKey(), Form->ImageList1[s.Next ? 12 : 14].cacheKey());
  EXPECT_EQ(Form->NextPage1->icon().cacheKey(), Form->ImageList1[s.Next ? 12 : 14].cacheKey());
}

INSTANTIATE_TEST_SUITE_P(Pages, Navigation,
                         ::testing::Values(TStep{"OnePage", 1, 1, false, false},
                                           TStep{"FirstOfThree", 3, 1, true, false},
                                           TStep{"SecondOfThree", 3, 2, true, true},
                                           TStep{"LastOfThree", 3, 3, false, true}),
                         [](const auto& info) { return std::string(info.param.Name); });

class IdleUpdate : public AppTest {};

TEST_F(IdleUpdate, RulesAreAppliedWhenTheApplicationWaitsForEvents) {
  Start();
  Seams->OpenAnswers.push_back(QString::fromStdString(ThreePages()));
  Form->Open1->trigger();
  EXPECT_FALSE(Form->ActionNextPage->isEnabled()); // nothing has run the rules yet
  QEventLoop loop;
  QTimer::singleShot(50, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_TRUE(Form->ActionNextPage->isEnabled());
  EXPECT_TRUE(Form->ActionPrint->isEnabled());
  EXPECT_EQ(TForm1::ImageIndex(Form->ActionNextPage), 12);
}

TEST_F(IdleUpdate, UnchangedRulesDoNotTouchTheActions) {
  Start();
  OpenByDialog(ThreePages());
  int changes = 0;
  for (QAction* a : Form->ActionList1)
    QObject::connect(a, &QAction::changed, [&changes] { ++changes; });
  Update();
  Update();
  // Otherwise every idle moment would repaint the toolbar and wake the loop again.
  EXPECT_EQ(changes, 0);
}

TEST_F(IdleUpdate, NextAndPreviousWalkThePages) {
  Start();
  OpenByDialog(ThreePages());
  Next();
  Next();
  EXPECT_EQ(Panel(1), "Page 3 of 3");
  Form->ActionNextPage->trigger(); // disabled: does nothing
  EXPECT_EQ(Form->FCurrentPage, 3);
  Previous();
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  EXPECT_EQ(Cell(2, 4), "2");
}

} // namespace
} // namespace lodestar::test
