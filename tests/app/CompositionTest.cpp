// The main window as first shown: captions, states and bindings that tests can read without
// pixels.
#include "AppTestSupport.h"
#include "ImageList1.h"
#include "ReportModel.h"
#include "TDownButton.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace lodestar::test {
namespace {

std::vector<std::string> Captions(const QList<QAction*>& actions) {
  std::vector<std::string> captions;
  for (const QAction* a : actions)
    captions.push_back(a->text().toStdString());
  return captions;
}

class Composition : public AppTest {
protected:
  void SetUp() override { Start(); }
};

TEST_F(Composition, WindowCaptionSizeAndTabs) {
  EXPECT_EQ(Form->windowTitle(), "Lodestar V5.3");
  EXPECT_EQ(Form->pos(), QPoint(452, 187));
  EXPECT_EQ(Form->size(), QSize(843, 668));
  EXPECT_EQ(Form->PageControl1->tabPosition(), QTabWidget::West);
  ASSERT_EQ(Form->PageControl1->count(), 2);
  EXPECT_EQ(Form->PageControl1->tabText(0), "Info");
  EXPECT_EQ(Form->PageControl1->tabText(1), "Batch");
  EXPECT_EQ(Form->PageControl1->currentWidget(), Form->TabSheetInfo);
}

TEST_F(Composition, StartsEmptyWithDesignTextsAndFileActionsDisabled) {
  EXPECT_TRUE(Rows().empty());
  EXPECT_EQ(Panel(0), "Filename");
  EXPECT_EQ(Panel(1), "Pages");
  EXPECT_EQ(Panel(2), "Fileinfo ");
  for (QAction* a :
       {Form->ActionNextPage, Form->ActionPrevPage, Form->ActionPrint, Form->ActionLaunchViewer})
    EXPECT_FALSE(a->isEnabled()) << a->toolTip().toStdString();
  EXPECT_EQ(TForm1::ImageIndex(Form->ActionNextPage), 14);
  EXPECT_EQ(TForm1::ImageIndex(Form->ActionPrevPage), 13);
  EXPECT_TRUE(Form->tb10->Down());
  EXPECT_FALSE(Form->tb16->Down());
  EXPECT_TRUE(Form->acceptDrops());
}

TEST_F(Composition, MenusWithTheirStatesAndNoShortcuts) {
  EXPECT_EQ(Captions(Form->File1->actions()),
            (std::vector<std::string>{"Open", "Save as", "Exit"}));
  EXPECT_EQ(Captions(Form->Options1->actions()),
            (std::vector<std::string>{"Next Page", "Prev Page", "Launch image viewer",
                                      "Export page to file", "Combine to multipage",
                                      "Split multipage file", "Batch split"}));
  EXPECT_EQ(Captions(Form->About1->actions()),
            (std::vector<std::string>{"About Lodestar", "Email support"}));
  EXPECT_FALSE(Form->Saveas1->isVisible());
  // The bound items are the actions themselves, so they follow them.
  EXPECT_EQ(Form->NextPage1, Form->ActionNextPage);
  EXPECT_EQ(Form->PreviousPage1, Form->ActionPrevPage);
  EXPECT_EQ(Form->viewimage1, Form->ActionLaunchViewer);

  // Opening a file and stepping around never brings the dead items to life.
  OpenByDialog(ThreePages());
  Next();
  for (QAction* a : {Form->Exportcurrentimagetofile1, Form->Combinetomultipage1,
                     Form->Splitmultipagefile1, Form->Batchsplit1})
    EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
  EXPECT_FALSE(Form->Saveas1->isVisible());

  for (QMenu* menu : {Form->File1, Form->Options1, Form->About1})
    for (const QAction* a : menu->actions())
      EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
  for (const QAction* a : Form->ActionList1)
    EXPECT_TRUE(a->shortcut().isEmpty()) << a->toolTip().toStdString();
}

TEST_F(Composition, ToolbarButtonsInOrderWithTooltips) {
  Form->show();
  const std::vector<std::pair<QToolButton*, const char*>> buttons = {
      {Form->ToolButton1, "Open an exiting file"},
      {Form->tbPrevious, "Move to prev page"},
      {Form->tbNext, "Move to next page"},
      {Form->tbLauchImageViewer, "Launch file in external application"},
      {Form->tb10, "Show values in DEC format"},
      {Form->tb16, "shhow values in HEX format"},
      {Form->tbtnPrint, "Send current report to printer"},
      {Form->tbCalc, "Launch Calculator"},
      {Form->tnInternet, "Open webpage on internet"},
  };
  int lastX = -1;
  for (const auto& [button, tip] : buttons) {
    EXPECT_EQ(button->toolTip().toStdString(), tip);
    EXPECT_GT(button->x(), lastX) << tip;
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly) << tip;
    lastX = button->x();
  }
  EXPECT_EQ(Form->tbPrevious->defaultAction(), Form->ActionPrevPage);
  EXPECT_EQ(Form->tbNext->defaultAction(), Form->ActionNextPage);
  EXPECT_EQ(Form->tbtnPrint->defaultAction(), Form->ActionPrint);
}

TEST_F(Composition, ListingColumns) {
  const TReportModel& model = *Form->ListView1Model;
  ASSERT_EQ(model.columnCount(), 8);
  const char* captions[] = {"Nr",    "Tag Pos", "Tag nr", "Taginfo",
                            "Value", "Type",    "Length", "Value Pos"};
  const bool right[] = {false, true, true, false, false, false, true, true};
  for (int c = 0; c < 8; ++c) {
    EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString().toStdString(), captions[c]);
    const int alignment = model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt();
    EXPECT_EQ((alignment & Qt::AlignRight) != 0, right[c]) << captions[c];
    EXPECT_GE(Form->ListView1->header()->sectionSize(c), ReportColumns[c].Width) << captions[c];
  }
  EXPECT_EQ(Form->ListView1->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(Form->ListView1->editTriggers(), QAbstractItemView::NoEditTriggers);
  EXPECT_FALSE(Form->ListView1->rootIsDecorated());
  EXPECT_TRUE(Form->ListView1->uniformRowHeights());
  EXPECT_EQ(Form->ListView1->viewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(Composition, BatchTabControlsAtTheirPlacesAndStartValues) {
  std::vector<std::string> items;
  for (int i = 0; i < Form->listboxTags->count(); ++i) {
    items.push_back(Form->listboxTags->item(i)->text().toStdString());
    EXPECT_EQ(Form->listboxTags->item(i)->checkState(), Qt::Unchecked);
  }
  EXPECT_EQ(items,
            (std::vector<std::string>{"256  Imagewidth", "257  Imageheight", "269  Description",
                                      "270  Name", "282  XResolution", "283  YResolution",
                                      "305  Software", "306  DateTime", "315  Artist"}));
  EXPECT_EQ(Form->GroupBox1->geometry(), QRect(24, 88, 561, 281));
  EXPECT_EQ(Form->GroupBox1->title(), "Tags Searchlist");
  EXPECT_EQ(Form->listboxTags->geometry(), QRect(8, 16, 273, 257));
  EXPECT_EQ(Form->GroupBoxExportOptions->geometry(), QRect(600, 88, 225, 121));
  EXPECT_EQ(Form->BitBtnStart->geometry(), QRect(48, 64, 137, 25));
  EXPECT_EQ(Form->edtStartDir->geometry(), QRect(16, 48, 537, 21));
#ifndef Q_OS_WIN
  EXPECT_EQ(Form->edtStartDir->text(), QDir::homePath());
#endif
  EXPECT_EQ(Form->cmbbxSeperator->currentText(), ",");
  EXPECT_EQ(Form->cmbbxSeperator->count(), 2);
  EXPECT_FALSE(Form->chkbxSplitFileNameAndPath->isChecked());
  for (QCheckBox* box : {Form->cbAddDescription, Form->cbIncludeRoot, Form->cbIncludeSubDirectories,
                         Form->cbTrimValue, Form->cbAllPages})
    EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
  EXPECT_EQ(Form->cbAllPages->text(), "All pages in \"Multi page Tiff's\"");
  EXPECT_EQ(Form->edtCounter->text(), "0");
  EXPECT_TRUE(Form->edtCounter->isReadOnly());
  EXPECT_EQ(Form->edtPages->text(), "0");
  EXPECT_FALSE(Form->btnStop->isEnabled());
  EXPECT_EQ(Form->BitBtnClose->text(), "&Close");
  EXPECT_EQ(Form->RedtResults->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(Form->RedtResults->font().fixedPitch());
  EXPECT_TRUE(Form->RedtResults->toPlainText().isEmpty());
  EXPECT_EQ(Form->StatusBar2->text(), "Retrieve tiff information to scv format");
}

TEST_F(Composition, ResultsPaneStaysDockedAtTheBottom) {
  Form->PageControl1->setCurrentWidget(Form->TabSheetBatch);
  Form->show();
  Form->resize(1000, 800);
  const QSize tab = Form->TabSheetBatch->size();
  ASSERT_GT(tab.height(), 550);
  EXPECT_EQ(Form->StatusBar2->geometry(), QRect(0, tab.height() - 19, tab.width(), 19));
  EXPECT_EQ(Form->RedtResults->geometry(), QRect(0, tab.height() - 19 - 134, tab.width(), 134));
}

TEST_F(Composition, BatchButtonsFollowTheirActions) {
  const std::vector<std::pair<QAbstractButton*, QAction*>> bound = {
      {Form->spBtnMoveTagUp, Form->ActionMoveUp},
      {Form->spBtnMoveTagDown, Form->ActionMoveDown},
      {Form->BitBtnAddTagEntry, Form->ActionAddNewTag},
      {Form->BitBtnDeleteTagEntry, Form->ActionDeleteTag},
      {Form->spbtnSort, Form->ActionSortTags},
      {Form->BitBtnStart, Form->ActionStartRetrieve},
      {Form->SpeedButton2, Form->ActionSaveResults},
  };
  for (const auto& [button, action] : bound) {
    int triggered = 0;
    QObject::connect(action, &QAction::triggered, [&triggered] { ++triggered; });
    action->setEnabled(true);
    button->click();
    EXPECT_EQ(triggered, 1) << button->text().toStdString();
    action->setEnabled(false);
    EXPECT_FALSE(button->isEnabled()) << button->text().toStdString();
    action->setEnabled(true);
    EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
  }
}

TEST_F(Composition, ExitAndCloseButtonEndTheWindow) {
  Form->show();
  Form->Exit1->trigger();
  EXPECT_FALSE(Form->isVisible());
  Form->show();
  Form->RedtResults->setPlainText("\"a.tif\",\"1\"");
  Form->BitBtnClose->click();
  EXPECT_FALSE(Form->isVisible());
}

TEST(ImageList, ThirtyThreePicturesThatKeepTheirLookWhenDisabled) {
  const QList<QIcon> icons = MakeImageList1();
  ASSERT_EQ(icons.size(), 33);
  for (int i = 0; i < icons.size(); ++i) {
    const QImage normal = icons[i].pixmap(16, 16).toImage();
    EXPECT_EQ(normal.size(), QSize(16, 16)) << i;
    EXPECT_FALSE(normal.isNull()) << i;
    EXPECT_EQ(icons[i].pixmap(16, 16, QIcon::Disabled).toImage(), normal) << i;
  }
  auto image = [&](int i) { return icons[i].pixmap(16, 16).toImage(); };
  EXPECT_NE(image(11), image(13)); // the disabled arrows have pictures of their own
  EXPECT_NE(image(12), image(14));
  EXPECT_NE(image(11), image(12));
  EXPECT_NE(image(19), image(20)); // HEX and DEC
}

} // namespace
} // namespace lodestar::test
