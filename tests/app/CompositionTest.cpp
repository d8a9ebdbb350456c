// The main window as composed and as a user first meets it; keys as the platform sends them; the
// window's place on small screens; long texts; the real message boxes and dialogs.
#include "AppTestSupport.h"
#include "ImageList1.h"
#include "TDownButton.h"
#include "TQtUiSeams.h"
#include "WindowPlacement.h"

#include <QTest>
#include <QtWidgets>

namespace lodestar::test {
namespace {

using Composition = AppTest;

TEST_F(Composition, ToolbarButtonsInOrderWithTheirTooltipsPicturesAndStates) {
  Start();
  const std::tuple<QToolButton*, const char*, int, bool> expected[] = {
      {Form->ToolButton1, "Open an exiting file", ImageIndex::Open, true},
      {Form->tbPrevious, "Move to prev page", ImageIndex::PrevPageDisabled, false},
      {Form->tbNext, "Move to next page", ImageIndex::NextPageDisabled, false},
      {Form->tbLauchImageViewer, "Launch file in external application", ImageIndex::Viewer, false},
      {Form->tb10, "Show values in DEC format", ImageIndex::Dec, true},
      {Form->tb16, "shhow values in HEX format", ImageIndex::Hex, true},
      {Form->tbSubDirectories, "Show the sub-directories and GeoTIFF keys of the page",
       ImageIndex::None, true},
      {Form->tbtnPrint, "Send current report to printer", ImageIndex::Print, false},
      {Form->tbCalc, "Launch Calculator", ImageIndex::Calculator, true},
      {Form->tnInternet, "Open webpage on internet", ImageIndex::WebPage, true},
  };
  std::vector<QToolButton*> order, wanted; // left to right, gaps left out
  for (QAction* a : Form->ToolBar1->actions())
    if (auto* b = qobject_cast<QToolButton*>(Form->ToolBar1->widgetForAction(a)))
      order.push_back(b);
  for (const auto& [button, tip, image, enabled] : expected) {
    SCOPED_TRACE(tip);
    wanted.push_back(button);
    EXPECT_EQ(button->toolTip().toStdString(), tip);
    if (image != ImageIndex::None) {
      EXPECT_EQ(button->icon().cacheKey(), Form->ImageList1[image].cacheKey());
    }
    EXPECT_EQ(button->isEnabled(), enabled);
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
  }
  EXPECT_EQ(order, wanted);
}

TEST_F(Composition, MenusShowCaptionsInOrderPicturesShortcutsAndStatesThatFilesDoNotChange) {
  Start();
  struct TItem {
    QAction* Item; // null: a separator
    const char* Caption;
    int Image;
    char State; // 'e'nabled, 'd'isabled, 'h'idden; upper case: stays so with a file listed
    const char* Shortcut;
  };
  const TItem items[] = {
      {Form->File1->menuAction(), "&File", ImageIndex::None, 'E', ""},
      {Form->Open1, "&Open", ImageIndex::MenuOpen, 'E', "Ctrl+O"},
      {Form->Saveas1, "&Save as", ImageIndex::SaveAs, 'H', ""},
      {Form->ActionPrint, "&Print...", ImageIndex::Print, 'd', "Ctrl+P"},
      {Form->ActionPrintPreview, "Print pre&view...", ImageIndex::None, 'd', ""},
      {nullptr, "", 0, 0, ""},
      {Form->Exit1, "E&xit", ImageIndex::Exit, 'E', "Ctrl+Q"},
      {Form->Options1->menuAction(), "&Options", ImageIndex::None, 'E', ""},
      {Form->NextPage1, "&Next Page", ImageIndex::NextPageDisabled, 'd', "PgDown"},
      {Form->PreviousPage1, "&Prev Page", ImageIndex::PrevPageDisabled, 'd', "PgUp"},
      {Form->viewimage1, "&Launch image viewer", ImageIndex::Viewer, 'd', ""},
      {Form->Exportcurrentimagetofile1, "&Export page to file", ImageIndex::ExportPage, 'D', ""},
      {Form->Combinetomultipage1, "&Combine to multipage", ImageIndex::CombineMultipage, 'D', ""},
      {Form->Splitmultipagefile1, "&Split multipage file", ImageIndex::SplitMultipage, 'D', ""},
      {Form->Batchsplit1, "&Batch split", ImageIndex::ExportPage, 'D', ""},
      {Form->View1->menuAction(), "&View", ImageIndex::None, 'E', ""},
      {Form->ActionSubDirectories, "&Sub-directories", ImageIndex::None, 'E', ""},
      {Form->About1->menuAction(), "&About", ImageIndex::None, 'E', ""},
      {Form->Aboutlodestar1, "&About Lodestar", ImageIndex::About, 'E', ""},
      {Form->Emailsupport1, "&Email support", ImageIndex::EmailSupport, 'E', ""},
  };
  std::vector<std::string> shown, wanted;
  for (QAction* menu : Form->MainMenu1->actions()) {
    shown.push_back(menu->text().toStdString());
    for (QAction* item : menu->menu()->actions())
      shown.push_back(item->text().toStdString());
  }
  const auto state = [](QAction* a) { return !a->isVisible() ? 'h' : a->isEnabled() ? 'e' : 'd'; };
  for (const TItem& i : items) {
    wanted.push_back(i.Caption);
    if (!i.Item)
      continue;
    SCOPED_TRACE(i.Caption);
    EXPECT_EQ(TForm1::ImageIndex(i.Item), i.Image);
    if (i.Image != ImageIndex::None) {
      EXPECT_EQ(i.Item->icon().cacheKey(), Form->ImageList1[i.Image].cacheKey());
    }
    EXPECT_EQ(state(i.Item), char(std::tolower(i.State)));
    EXPECT_EQ(i.Item->shortcut().toString().toStdString(), i.Shortcut);
  }
  EXPECT_EQ(shown, wanted);
  OpenByDialog(A4(3));
  Step(Form->ActionNextPage);
  for (const TItem& i : items)
    if (std::isupper(i.State)) {
      EXPECT_EQ(state(i.Item), char(std::tolower(i.State))) << i.Caption;
    }
}

TEST_F(Composition, ListingColumnsHaveTheirCaptionsAlignmentAndAtLeastTheirDesignWidths) {
  Start();
  const std::tuple<const char*, int, Qt::Alignment> columns[] = {
      {"Nr", 30, Qt::AlignLeft},      {"Tag Pos", 60, Qt::AlignRight},
      {"Tag nr", 60, Qt::AlignRight}, {"Taginfo", 150, Qt::AlignLeft},
      {"Value", 250, Qt::AlignLeft},  {"Type", 100, Qt::AlignLeft},
      {"Length", 50, Qt::AlignRight}, {"Value Pos", 60, Qt::AlignRight}};
  QAbstractItemModel* model = Form->ListView1->model();
  ASSERT_EQ(model->columnCount(), 8);
  OpenByDialog(A4(1));
  const auto align = [](const QVariant& v) {
    return Qt::Alignment(v.toInt()) & Qt::AlignHorizontal_Mask;
  };
  for (int c = 0; c < 8; ++c) {
    const auto& [caption, designWidth, alignment] = columns[c];
    SCOPED_TRACE(caption);
    const QString shown = model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(shown.toStdString(), caption);
    const int width = Form->ListView1->header()->sectionSize(c);
    EXPECT_GE(width, designWidth);
    EXPECT_GT(width, Form->ListView1->fontMetrics().horizontalAdvance(shown)); // never cut
    EXPECT_EQ(align(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole)), alignment);
    EXPECT_EQ(align(model->index(5, c).data(Qt::TextAlignmentRole)), alignment);
  }
  EXPECT_FALSE(Form->ListView1->rootIsDecorated());
  EXPECT_EQ(Form->ListView1->minimumHeight(), 300); // and 700 wide where the screen allows
  EXPECT_EQ(Form->ListView1->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(Form->PageControl1->tabPosition(), QTabWidget::West);
  EXPECT_EQ(Form->PageControl1->currentIndex(), 0);
  EXPECT_EQ(Form->PageControl1->tabText(0) + "|" + Form->PageControl1->tabText(1), "Info|Batch");
}

TEST_F(Composition, BatchTabStartsWithTheDesignTextsTicksAndStates) {
  Start();
  std::vector<std::string> items;
  for (int i = 0; i < SearchItemCount(); ++i)
    items.push_back(SearchItem(i));
  EXPECT_EQ(items,
            (std::vector<std::string>{"256  Imagewidth", "257  Imageheight", "269  Description",
                                      "270  Name", "282  XResolution", "283  YResolution",
                                      "305  Software", "306  DateTime", "315  Artist"}));
  EXPECT_EQ(Form->edtStartDir->text(), QDir::homePath());
  EXPECT_EQ(Form->cmbbxSeperator->currentText(), ",");
  EXPECT_TRUE(Form->cmbbxSeperator->isEditable());
  EXPECT_EQ(Form->cmbbxSeperator->count(), 2);
  std::string ticks;
  for (QCheckBox* box :
       {Form->chkbxSplitFileNameAndPath, Form->cbAddDescription, Form->cbIncludeRoot,
        Form->cbIncludeSubDirectories, Form->cbTrimValue, Form->cbAllPages})
    ticks += box->isChecked() ? '1' : '0';
  EXPECT_EQ(ticks, "011111");
  EXPECT_EQ(Form->cbAllPages->text(), "All pages in \"Multi page Tiff's\"");
  EXPECT_EQ(Form->edtCounter->text() + Form->edtPages->text(), "00");
  EXPECT_TRUE(Form->edtCounter->isReadOnly());
  EXPECT_EQ(Form->edtCounter->toolTip(), "Show amount of files counted");
  EXPECT_EQ(Form->GroupBox1->title() + "|" + Form->GroupBoxExportOptions->title() + "|" +
                Form->GroupBox2->title(),
            "Tags Searchlist|Export options|");
  EXPECT_EQ(Form->BitBtnClose->text(), "&Close");
  EXPECT_EQ(Form->StatusBar2->text(), "Retrieve tiff information to scv format");
  EXPECT_EQ(Form->RedtResults->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(Form->RedtResults->toPlainText().isEmpty());
  // Enabled: Start (the home directory exists), Close, Reset, Sort, the folder button, options.
  EXPECT_EQ(Enabled({Form->BitBtnStart, Form->btnStop, Form->BitBtnClose, Form->btnReset,
                     Form->spbtnSort, Form->BitBtnAddTagEntry, Form->BitBtnDeleteTagEntry,
                     Form->spBtnMoveTagUp, Form->spBtnMoveTagDown, Form->SpeedButton2,
                     Form->spdBtnStartingDir, Form->GroupBoxExportOptions}),
            "101110000011");
}

TEST_F(Composition, BatchTabBoxesHoldTheirControlsWholeAndTheTabHoldsTheBoxes) {
  // A wide font is what clipped them: the controls grow, and the boxes and the tab with them.
  const QFont usual = QApplication::font();
  QFont wide = usual;
  wide.setLetterSpacing(QFont::PercentageSpacing, 130);
  QApplication::setFont(wide);
  Start();
  QApplication::setFont(usual);
  for (QWidget* box : {Form->GroupBox1, Form->GroupBoxExportOptions, Form->GroupBox2}) {
    const QRect inside = box->rect().adjusted(0, 0, -2, -2); // within the right and lower border
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      EXPECT_TRUE(inside.contains(child->geometry()))
          << child->property("text").toString().toStdString();
    EXPECT_LT(box->geometry().right(), Form->TabSheetBatch->minimumWidth());
  }
  EXPECT_FALSE(Form->GroupBox1->geometry().intersects(Form->GroupBoxExportOptions->geometry()));
  EXPECT_GT(Form->cmbbxSeperator->width(), 41); // the design's width
}

// --- Keys as the platform sends them ---

struct TKey {
  int Key;
  const char* Text;
  Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

TEST_F(Composition, TagNumberFieldTakesDigitsAndLetsEveryEditingKeyThrough) {
  Start();
  const TKey seven{Qt::Key_7, "7"};
  const std::tuple<const char*, int, std::vector<TKey>, const char*> cases[] = {
      {"12", 2, {{Qt::Key_3, "3"}}, "123"},
      {"12", 2, {{Qt::Key_A, "a"}, {Qt::Key_Space, " "}, {Qt::Key_Minus, "-"}}, "12"},
      {"123", 3, {{Qt::Key_Backspace, "\x08"}}, "12"},
      {"123", 0, {{Qt::Key_Delete, "\x7F"}}, "23"},
      {"123", 1, {{Qt::Key_A, "\x01", Qt::ControlModifier}, seven}, "7"}, // Ctrl+A selected all
      {"123", 3, {{Qt::Key_Home, ""}, seven}, "7123"},
  };
  for (const auto& [before, cursor, keys, after] : cases) {
    Form->edtTagNumber->setText(before);
    Form->edtTagNumber->setCursorPosition(cursor);
    for (const TKey& key : keys) {
      QKeyEvent event(QEvent::KeyPress, key.Key, key.Modifiers, QString::fromLatin1(key.Text));
      QApplication::sendEvent(Form->edtTagNumber, &event);
    }
    EXPECT_EQ(Form->edtTagNumber->text().toStdString(), after) << before << " " << keys[0].Key;
  }
}

// Shows the window and makes it the active one, as a user's click would.
void Activate(QWidget* window) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// Page Down and Page Up turn pages on the Info tab only; Tab leaves the results pane and its
// records.
TEST_F(Composition, PageKeysTurnPagesOnTheInfoTabOnlyAndTabLeavesTheResultsPane) {
  Start();
  OpenByDialog(A4(3));
  Activate(Form.get());
  EXPECT_EQ(QApplication::focusWidget(), Form->ListView1); // from the start
  for (int key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}) {
    QTest::keyClick(Form->ListView1, Qt::Key(key));
    Update();
  }
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  Form->PageControl1->setCurrentIndex(1);
  Form->RedtResults->setPlainText("\"a\",\"1\"");
  Form->RedtResults->setFocus();
  QTest::keyClick(Form->RedtResults, Qt::Key_PageDown);
  QTest::keyClick(Form->listboxTags, Qt::Key_PageUp);
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  Form->RedtResults->setFocus();
  QTest::keyClick(Form->RedtResults, Qt::Key_Tab);
  EXPECT_EQ(Form->RedtResults->toPlainText(), "\"a\",\"1\"");
  EXPECT_NE(QApplication::focusWidget(), Form->RedtResults);
  Form->RedtResults->setFocus(); // typed on purpose, the pane takes text
  Form->RedtResults->moveCursor(QTextCursor::End);
  QTest::keyClicks(Form->RedtResults, "x");
  EXPECT_EQ(Form->RedtResults->toPlainText(), "\"a\",\"1\"x");
}

TEST_F(Composition, EveryRebuildOfTheListingStartsAtItsFirstRow) {
  Start();
  TTiffBuilder b;
  std::vector<TEntryDraft> many;
  for (int tag = 300; tag < 400; ++tag)
    many.push_back(b.ShortEntry(static_cast<std::uint16_t>(tag), 1));
  OpenByDialog(b.Pages({many, many}).Save(Dir.File("many.tif")));
  Form->show();
  QScrollBar* bar = Form->ListView1->verticalScrollBar();
  for (const auto& [name, rebuild] : std::vector<std::pair<const char*, std::function<void()>>>{
           {"next", [&] { Step(Form->ActionNextPage); }},
           {"previous", [&] { Step(Form->ActionPrevPage); }},
           {"base", [&] { Form->tb16->click(); }},
           {"reload", [&] { Form->OpenTiffFile(Form->TiffFile()->FileName(), 2); }}}) {
    Form->ListView1->scrollToBottom();
    QApplication::processEvents();
    ASSERT_GT(bar->value(), 0);
    rebuild();
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0) << name;
  }
}

TEST_F(Composition, CutCellsAndTheFileNamePanelShowTheWholeTextAsTooltip) {
  Start();
  TTiffBuilder b;
  const std::string longText(120, 'W'), path = Dir.File(std::string(60, 'd') + ".tif");
  OpenByDialog(b.Pages({{b.AsciiEntry(305, longText), b.AsciiEntry(306, "2026")}}).Save(path));
  EXPECT_EQ(Form->StatusBar1Panels[0]->toolTip().toStdString(), path);
  Form->show();
  QApplication::processEvents();
  const auto tipAt = [&](int row) {
    QToolTip::hideText();
    const QPoint at = Form->ListView1->visualRect(Form->ListView1Model->index(row, 4)).center();
    QHelpEvent help(QEvent::ToolTip, at, Form->ListView1->viewport()->mapToGlobal(at));
    QApplication::sendEvent(Form->ListView1->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : "(none)";
  };
  EXPECT_EQ(Cell(6, 4) + " " + tipAt(6), "2026 (none)");
  EXPECT_EQ(Cell(5, 4), longText);
  EXPECT_EQ(tipAt(5), longText);
  QToolTip::hideText();
}

// --- Place on the screen ---

TEST(PlaceInside, KeepsWhatFitsAndMovesAndShrinksTheRestIntoTheFreeArea) {
  const QRect screen(0, 0, 1366, 768), want(452, 187, 843, 668);
  const std::tuple<const char*, QRect, QRect, QRect> cases[] = {
      {"fits", QRect(452, 187, 843, 500), screen, QRect(452, 187, 843, 500)},
      {"too low", want, screen, QRect(452, 100, 843, 668)},
      {"too wide and low", want, QRect(0, 0, 683, 384), QRect(0, 0, 683, 384)},
      {"under a top panel", QRect(452, 0, 843, 668), QRect(0, 24, 1366, 744),
       QRect(452, 24, 843, 668)},
      {"second screen", want, QRect(1366, 0, 1920, 1080), QRect(1366, 187, 843, 668)},
      {"no screen known", want, QRect(), want},
  };
  for (const auto& [name, wanted, available, placed] : cases)
    EXPECT_EQ(PlaceInside(wanted, available), placed) << name;
}

TEST_F(Composition, WindowOpensInsideASmallScreen) {
  Start(); // the offscreen platform's screen is smaller than the design's window
  Form->show();
  QApplication::processEvents();
  const QRect available = Form->screen()->availableGeometry();
  ASSERT_LT(available.width(), 843);
  EXPECT_TRUE(available.contains(Form->frameGeometry()));
}

// --- The real boxes and dialogs ---

// Runs show, which opens a modal box or dialog, and hands that to inspect before closing it.
template <typename T>
void Inspect(const std::function<void()>& show, const std::function<void(T*)>& inspect) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    ASSERT_NE(modal, nullptr);
    seen = true;
    inspect(modal);
    modal->reject();
  });
  show();
  EXPECT_TRUE(seen);
}

TEST(QtSeams, MessageBoxesCarryTheTitleAndTheirIconAndTheTextUnchanged) {
  TQtUiSeams seams;
  using TShow = void (TQtUiSeams::*)(QWidget*, const QString&);
  for (const auto& [show, icon] : std::vector<std::pair<TShow, QMessageBox::Icon>>{
           {&TQtUiSeams::ShowMessage, QMessageBox::NoIcon},
           {&TQtUiSeams::ShowErrorMessage, QMessageBox::Critical},
           {&TQtUiSeams::ShowErrorReport, QMessageBox::Critical}})
    Inspect<QMessageBox>([&] { (seams.*show)(nullptr, "Input file  wrong"); },
                         [icon = icon](QMessageBox* b) {
                           EXPECT_EQ(b->windowTitle() + "|" + b->text(),
                                     "Lodestar|Input file  wrong");
                           EXPECT_EQ(b->icon(), icon);
                           EXPECT_EQ(b->standardButtons(), QMessageBox::Ok);
                         });
}

TEST(QtSeams, SaveDialogAsksBeforeReplacingAndTheDirectoryDialogCanCreateFolders) {
  TQtUiSeams seams;
  Inspect<QFileDialog>([&] { EXPECT_EQ(seams.GetSaveFileName(nullptr), std::nullopt); },
                       [](QFileDialog* d) {
                         EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
                         EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
                       });
  Inspect<QFileDialog>(
      [&] { EXPECT_EQ(seams.GetExistingDirectory(nullptr, QDir::homePath()), std::nullopt); },
      [](QFileDialog* d) {
        EXPECT_EQ(d->fileMode(), QFileDialog::Directory);
        EXPECT_FALSE(d->testOption(QFileDialog::ReadOnly));
        EXPECT_EQ(d->directory().absolutePath(), QDir::homePath());
        auto* create = d->findChild<QToolButton*>("newFolderButton"); // Qt's "Create New Folder"
        ASSERT_NE(create, nullptr);
        EXPECT_TRUE(create->isEnabled());
      });
}

} // namespace
} // namespace lodestar::test
