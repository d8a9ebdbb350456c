// The main window as composed: toolbar, menus, listing columns and the Batch tab's starting states
// as a user first meets them; the keys as the platform sends them; the window's place on small
// screens; long texts; the real message boxes and dialogs.
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

// The caption as shown, without the access-key marks.
std::string Shown(const QString& caption) {
  return QString(caption).remove('&').toStdString();
}

TEST_F(Composition, ToolbarButtonsInOrderWithTheirTooltipsPicturesAndStates) {
  Start();
  struct TButton {
    QToolButton* Button;
    const char* Tip;
    int Image;
    bool Enabled;
  };
  const TButton expected[] = {
      {Form->ToolButton1, "Open an exiting file", ImageIndex::Open, true},
      {Form->tbPrevious, "Move to prev page", ImageIndex::PrevPageDisabled, false},
      {Form->tbNext, "Move to next page", ImageIndex::NextPageDisabled, false},
      {Form->tbLauchImageViewer, "Launch file in external application", ImageIndex::Viewer, false},
      {Form->tb10, "Show values in DEC format", ImageIndex::Dec, true},
      {Form->tb16, "shhow values in HEX format", ImageIndex::Hex, true},
      {Form->tbtnPrint, "Send current report to printer", ImageIndex::Print, false},
      {Form->tbCalc, "Launch Calculator", ImageIndex::Calculator, true},
      {Form->tnInternet, "Open webpage on internet", ImageIndex::WebPage, true},
  };
  std::vector<QToolButton*> order; // the buttons of the bar from left to right, gaps left out
  for (QAction* a : Form->ToolBar1->actions())
    if (auto* b = qobject_cast<QToolButton*>(Form->ToolBar1->widgetForAction(a)))
      order.push_back(b);
  std::vector<QToolButton*> wanted;
  for (const TButton& b : expected) {
    SCOPED_TRACE(b.Tip);
    wanted.push_back(b.Button);
    EXPECT_EQ(b.Button->toolTip().toStdString(), b.Tip);
    EXPECT_EQ(b.Button->icon().cacheKey(), Form->ImageList1[b.Image].cacheKey());
    EXPECT_EQ(b.Button->isEnabled(), b.Enabled);
    EXPECT_EQ(b.Button->toolButtonStyle(), Qt::ToolButtonIconOnly);
  }
  EXPECT_EQ(order, wanted);
}

TEST_F(Composition, MenusShowTheirCaptionsPicturesAccessKeysShortcutsAndFixedStates) {
  Start();
  struct TItem {
    QAction* Item;
    const char* Caption;
    int Image;
    const char* State; // "enabled", "disabled" or "hidden"
    QKeySequence Shortcut;
  };
  const TItem items[] = {
      {Form->File1->menuAction(), "&File", ImageIndex::None, "enabled", {}},
      {Form->Open1, "&Open", ImageIndex::MenuOpen, "enabled", QKeySequence("Ctrl+O")},
      {Form->Saveas1, "&Save as", ImageIndex::SaveAs, "hidden", {}},
      {Form->Exit1, "E&xit", ImageIndex::Exit, "enabled", QKeySequence("Ctrl+Q")},
      {Form->Options1->menuAction(), "&Options", ImageIndex::None, "enabled", {}},
      {Form->NextPage1, "&Next Page", ImageIndex::NextPageDisabled, "disabled",
       QKeySequence(Qt::Key_PageDown)},
      {Form->PreviousPage1, "&Prev Page", ImageIndex::PrevPageDisabled, "disabled",
       QKeySequence(Qt::Key_PageUp)},
      {Form->viewimage1, "&Launch image viewer", ImageIndex::Viewer, "disabled", {}},
      {Form->Exportcurrentimagetofile1,
       "&Export page to file",
       ImageIndex::ExportPage,
       "disabled",
       {}},
      {Form->Combinetomultipage1,
       "&Combine to multipage",
       ImageIndex::CombineMultipage,
       "disabled",
       {}},
      {Form->Splitmultipagefile1,
       "&Split multipage file",
       ImageIndex::SplitMultipage,
       "disabled",
       {}},
      {Form->Batchsplit1, "&Batch split", ImageIndex::ExportPage, "disabled", {}},
      {Form->About1->menuAction(), "&About", ImageIndex::None, "enabled", {}},
      {Form->Aboutlodestar1, "&About Lodestar", ImageIndex::About, "enabled", {}},
      {Form->Emailsupport1, "&Email support", ImageIndex::EmailSupport, "enabled", {}},
  };
  for (const TItem& i : items) {
    SCOPED_TRACE(i.Caption);
    EXPECT_EQ(i.Item->text().toStdString(), i.Caption);
    EXPECT_EQ(TForm1::ImageIndex(i.Item), i.Image);
    if (i.Image != ImageIndex::None) {
      EXPECT_EQ(i.Item->icon().cacheKey(), Form->ImageList1[i.Image].cacheKey());
    }
    const std::string state =
        !i.Item->isVisible() ? "hidden" : (i.Item->isEnabled() ? "enabled" : "disabled");
    EXPECT_EQ(state, i.State);
    EXPECT_EQ(i.Item->shortcut().toString(), i.Shortcut.toString());
  }
  EXPECT_EQ(Form->ActionPrint->shortcut().toString(), "Ctrl+P");
  // The menus in the bar and their items in order, as shown.
  std::vector<std::string> shown;
  for (QAction* menu : Form->MainMenu1->actions()) {
    shown.push_back(Shown(menu->text()) + ":");
    for (QAction* item : menu->menu()->actions())
      shown.push_back(Shown(item->text()));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "File:", "Open", "Save as", "Print...", "Print preview...", "", "Exit",
                       "Options:", "Next Page", "Prev Page", "Launch image viewer",
                       "Export page to file", "Combine to multipage", "Split multipage file",
                       "Batch split", "About:", "About Lodestar", "Email support"}));
}

TEST_F(Composition, TheFixedMenuItemsStayAsTheyAreWhileFilesComeAndGo) {
  Start();
  OpenByDialog(A4(3));
  Step(Form->ActionNextPage);
  for (QAction* never : {Form->Exportcurrentimagetofile1, Form->Combinetomultipage1,
                         Form->Splitmultipagefile1, Form->Batchsplit1})
    EXPECT_FALSE(never->isEnabled()) << Shown(never->text());
  EXPECT_FALSE(Form->Saveas1->isVisible());
  EXPECT_TRUE(Form->ActionPrint->isEnabled());
  EXPECT_TRUE(Form->viewimage1->isEnabled());
}

TEST_F(Composition, ListingColumnsHaveTheirCaptionsAlignmentAndAtLeastTheirDesignWidths) {
  Start();
  struct TColumn {
    const char* Caption;
    int Width;
    Qt::Alignment Horizontal;
  };
  const TColumn columns[] = {{"Nr", 30, Qt::AlignLeft},      {"Tag Pos", 60, Qt::AlignRight},
                             {"Tag nr", 60, Qt::AlignRight}, {"Taginfo", 150, Qt::AlignLeft},
                             {"Value", 250, Qt::AlignLeft},  {"Type", 100, Qt::AlignLeft},
                             {"Length", 50, Qt::AlignRight}, {"Value Pos", 60, Qt::AlignRight}};
  QAbstractItemModel* model = Form->ListView1->model();
  ASSERT_EQ(model->columnCount(), 8);
  OpenByDialog(A4(1));
  const QFontMetrics metrics = Form->ListView1->fontMetrics();
  for (int c = 0; c < 8; ++c) {
    SCOPED_TRACE(columns[c].Caption);
    const QString caption = model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(caption.toStdString(), columns[c].Caption);
    const int width = Form->ListView1->header()->sectionSize(c);
    EXPECT_GE(width, columns[c].Width);
    EXPECT_GT(width, metrics.horizontalAdvance(caption)); // the caption is never cut
    const auto align = [](const QVariant& v) {
      return Qt::Alignment(v.toInt()) & Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(align(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole)),
              columns[c].Horizontal);
    EXPECT_EQ(align(model->index(5, c).data(Qt::TextAlignmentRole)), columns[c].Horizontal);
  }
  EXPECT_FALSE(Form->ListView1->rootIsDecorated());
  EXPECT_EQ(Form->ListView1->minimumHeight(), 300); // and 700 wide where the screen allows
  EXPECT_EQ(Form->ListView1->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(Form->PageControl1->tabPosition(), QTabWidget::West);
  EXPECT_EQ(Form->PageControl1->currentIndex(), 0);
  EXPECT_EQ(Form->PageControl1->tabText(0).toStdString() + "|" +
                Form->PageControl1->tabText(1).toStdString(),
            "Info|Batch");
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
  EXPECT_FALSE(Form->chkbxSplitFileNameAndPath->isChecked());
  for (QCheckBox* ticked : {Form->cbAddDescription, Form->cbIncludeRoot,
                            Form->cbIncludeSubDirectories, Form->cbTrimValue, Form->cbAllPages})
    EXPECT_TRUE(ticked->isChecked()) << ticked->text().toStdString();
  EXPECT_EQ(Form->cbAllPages->text().toStdString(), "All pages in \"Multi page Tiff's\"");
  EXPECT_EQ(Form->edtCounter->text(), "0");
  EXPECT_TRUE(Form->edtCounter->isReadOnly());
  EXPECT_EQ(Form->edtCounter->toolTip(), "Show amount of files counted");
  EXPECT_EQ(Form->edtPages->text(), "0");
  EXPECT_EQ(Form->GroupBox1->title(), "Tags Searchlist");
  EXPECT_EQ(Form->GroupBoxExportOptions->title(), "Export options");
  EXPECT_TRUE(Form->GroupBox2->title().isEmpty());
  EXPECT_EQ(Form->BitBtnClose->text(), "&Close");
  EXPECT_EQ(Form->StatusBar2->text(), "Retrieve tiff information to scv format");
  EXPECT_EQ(Form->RedtResults->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_TRUE(Form->RedtResults->toPlainText().isEmpty());
  // Enabled: Start (the home directory exists), Close, Reset, Sort; nothing else acts yet.
  const std::pair<QWidget*, bool> states[] = {{Form->BitBtnStart, true},
                                              {Form->btnStop, false},
                                              {Form->BitBtnClose, true},
                                              {Form->btnReset, true},
                                              {Form->spbtnSort, true},
                                              {Form->BitBtnAddTagEntry, false},
                                              {Form->BitBtnDeleteTagEntry, false},
                                              {Form->spBtnMoveTagUp, false},
                                              {Form->spBtnMoveTagDown, false},
                                              {Form->SpeedButton2, false},
                                              {Form->spdBtnStartingDir, true},
                                              {Form->GroupBoxExportOptions, true}};
  for (const auto& [widget, enabled] : states)
    EXPECT_EQ(widget->isEnabled(), enabled) << widget->metaObject()->className() << " "
                                            << widget->property("text").toString().toStdString();
}

TEST_F(Composition, BatchTabBoxesHoldTheirControlsWholeAndTheTabHoldsTheBoxes) {
  // A wide font is what clipped them: the controls grow, and the boxes and the tab with them.
  const QFont usual = QApplication::font();
  QFont wide = usual;
  wide.setLetterSpacing(QFont::PercentageSpacing, 130);
  QApplication::setFont(wide);
  Start();
  QApplication::setFont(usual);
  for (QWidget* box : std::initializer_list<QWidget*>{Form->GroupBox1, Form->GroupBoxExportOptions,
                                                      Form->GroupBox2}) {
    const QRect inside = box->rect().adjusted(0, 0, -2, -2); // within the right and lower border
    for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      SCOPED_TRACE(child->property("text").toString().toStdString());
      EXPECT_TRUE(inside.contains(child->geometry()))
          << box->metaObject()->className() << " " << child->geometry().right() << " > "
          << inside.right();
    }
    EXPECT_LT(box->geometry().right(), Form->TabSheetBatch->minimumWidth());
  }
  EXPECT_FALSE(Form->GroupBox1->geometry().intersects(Form->GroupBoxExportOptions->geometry()));
  // The separator box takes more than the design's 41 pixels.
  EXPECT_GT(Form->cmbbxSeperator->width(), 41);
}

// --- Keys as the platform sends them ---

struct TKey {
  int Key;
  const char* Text;
  Qt::KeyboardModifiers Modifiers = Qt::NoModifier;
};

void Press(QWidget* widget, const TKey& key) {
  QKeyEvent event(QEvent::KeyPress, key.Key, key.Modifiers, QString::fromLatin1(key.Text));
  QApplication::sendEvent(widget, &event);
}

TEST_F(Composition, TagNumberFieldTakesDigitsAndLetsEveryEditingKeyThrough) {
  Start();
  struct TCase {
    const char* Name;
    const char* Before;
    int Cursor;
    TKey Event;
    const char* After;
  };
  const TCase cases[] = {
      {"digit", "12", 2, {Qt::Key_3, "3"}, "123"},
      {"letter", "12", 2, {Qt::Key_A, "a"}, "12"},
      {"blank", "12", 2, {Qt::Key_Space, " "}, "12"},
      {"minus", "12", 2, {Qt::Key_Minus, "-"}, "12"},
      {"Backspace 0x08", "123", 3, {Qt::Key_Backspace, "\x08"}, "12"},
      {"Delete 0x7F", "123", 0, {Qt::Key_Delete, "\x7F"}, "23"},
      {"Ctrl+A 0x01, then a digit", "123", 1, {Qt::Key_A, "\x01", Qt::ControlModifier}, "123"},
      {"Home, no text", "123", 3, {Qt::Key_Home, ""}, "123"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Form->edtTagNumber->setText(c.Before);
    Form->edtTagNumber->setCursorPosition(c.Cursor);
    Press(Form->edtTagNumber, c.Event);
    EXPECT_EQ(Form->edtTagNumber->text().toStdString(), c.After);
  }
  // Ctrl+A selected all: the next digit replaces it; Home went to the start.
  Press(Form->edtTagNumber, {Qt::Key_A, "\x01", Qt::ControlModifier});
  Press(Form->edtTagNumber, {Qt::Key_7, "7"});
  EXPECT_EQ(Form->edtTagNumber->text(), "7");
  Form->edtTagNumber->setCursorPosition(1);
  Press(Form->edtTagNumber, {Qt::Key_Home, ""});
  EXPECT_EQ(Form->edtTagNumber->cursorPosition(), 0);
}

// Shows the window and makes it the active one, as a user's click would.
void Activate(QWidget* window) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

TEST_F(Composition, TabLeavesTheResultsPaneAndLeavesItsRecordsAlone) {
  Start();
  Activate(Form.get());
  Form->PageControl1->setCurrentIndex(1);
  Form->RedtResults->setPlainText("\"a\",\"1\"");
  Form->RedtResults->setFocus();
  QTest::keyClick(Form->RedtResults, Qt::Key_Tab);
  EXPECT_EQ(Form->RedtResults->toPlainText(), "\"a\",\"1\"");
  EXPECT_NE(QApplication::focusWidget(), Form->RedtResults);
  // Typed on purpose, the pane takes text.
  Form->RedtResults->setFocus();
  Form->RedtResults->moveCursor(QTextCursor::End);
  QTest::keyClicks(Form->RedtResults, "x");
  EXPECT_EQ(Form->RedtResults->toPlainText(), "\"a\",\"1\"x");
}

TEST_F(Composition, PageDownAndPageUpTurnPagesOnTheInfoTabOnly) {
  Start();
  OpenByDialog(A4(3));
  Activate(Form.get());
  EXPECT_EQ(QApplication::focusWidget(), Form->ListView1); // from the start
  QTest::keyClick(Form->ListView1, Qt::Key_PageDown);
  Update();
  QTest::keyClick(Form->ListView1, Qt::Key_PageDown);
  EXPECT_EQ(Panel(1), "Page 3 of 3");
  Update();
  QTest::keyClick(Form->ListView1, Qt::Key_PageUp);
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  Update();
  Form->PageControl1->setCurrentIndex(1);
  Form->RedtResults->setFocus();
  QTest::keyClick(Form->RedtResults, Qt::Key_PageDown);
  QTest::keyClick(Form->listboxTags, Qt::Key_PageUp);
  EXPECT_EQ(Panel(1), "Page 2 of 3");
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
  const auto scrolledAway = [&] {
    Form->ListView1->scrollToBottom();
    QApplication::processEvents();
    ASSERT_GT(bar->value(), 0);
  };
  for (const auto& [name, rebuild] : std::vector<std::pair<const char*, std::function<void()>>>{
           {"next", [&] { Step(Form->ActionNextPage); }},
           {"previous", [&] { Step(Form->ActionPrevPage); }},
           {"base", [&] { Form->tb16->click(); }},
           {"reload", [&] { Form->OpenTiffFile(Form->TiffFile()->FileName(), 2); }}}) {
    SCOPED_TRACE(name);
    scrolledAway();
    rebuild();
    QApplication::processEvents();
    EXPECT_EQ(bar->value(), 0);
  }
}

TEST_F(Composition, CutCellsAndTheFileNamePanelShowTheWholeTextAsTooltip) {
  Start();
  TTiffBuilder b;
  const std::string longText(120, 'W');
  const std::string path = Dir.File(std::string(60, 'd') + ".tif");
  OpenByDialog(b.Pages({{b.AsciiEntry(305, longText), b.AsciiEntry(306, "2026")}}).Save(path));
  EXPECT_EQ(Form->StatusBar1Panels[0]->toolTip().toStdString(), path);
  Form->show();
  QApplication::processEvents();
  const auto tipAt = [&](int row) {
    QToolTip::hideText();
    const QRect cell = Form->ListView1->visualRect(Form->ListView1Model->index(row, 4));
    QHelpEvent help(QEvent::ToolTip, cell.center(),
                    Form->ListView1->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(Form->ListView1->viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string("(none)");
  };
  EXPECT_EQ(Cell(6, 4), "2026");
  EXPECT_EQ(tipAt(6), "(none)");
  EXPECT_EQ(Cell(5, 4), longText);
  EXPECT_EQ(tipAt(5), longText);
  QToolTip::hideText();
}

// --- Place on the screen ---

TEST(PlaceInside, KeepsWhatFitsAndMovesAndShrinksTheRestIntoTheFreeArea) {
  const QRect screen(0, 0, 1366, 768), panelled(0, 24, 1366, 744);
  struct TCase {
    const char* Name;
    QRect Wanted, Available, Placed;
  };
  const TCase cases[] = {
      {"fits", QRect(452, 187, 843, 500), screen, QRect(452, 187, 843, 500)},
      {"too low", QRect(452, 187, 843, 668), screen, QRect(452, 100, 843, 668)},
      {"too wide and low", QRect(452, 187, 843, 668), QRect(0, 0, 683, 384), QRect(0, 0, 683, 384)},
      {"under a top panel", QRect(452, 0, 843, 668), panelled, QRect(452, 24, 843, 668)},
      {"second screen", QRect(452, 187, 843, 668), QRect(1366, 0, 1920, 1080),
       QRect(1366, 187, 843, 668)},
      {"no screen known", QRect(452, 187, 843, 668), QRect(), QRect(452, 187, 843, 668)},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(PlaceInside(c.Wanted, c.Available), c.Placed) << c.Name;
}

TEST_F(Composition, WindowOpensInsideASmallScreen) {
  // The offscreen platform's screen is smaller than the design's window.
  Start();
  Form->show();
  QApplication::processEvents();
  const QRect available = Form->screen()->availableGeometry();
  ASSERT_LT(available.width(), 843);
  EXPECT_TRUE(available.contains(Form->frameGeometry()))
      << Form->frameGeometry().width() << "x" << Form->frameGeometry().height() << " min "
      << Form->minimumSizeHint().width() << " list " << Form->ListView1->minimumWidth()
      << " status " << Form->StatusBar1->minimumSizeHint().width() << " tool "
      << Form->ToolBar1->minimumSizeHint().width();
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
  const auto box = [](QMessageBox::Icon icon, const char* text) {
    return [icon, text](QMessageBox* b) {
      EXPECT_EQ(b->windowTitle(), "Lodestar");
      EXPECT_EQ(b->icon(), icon);
      EXPECT_EQ(b->text(), text);
      EXPECT_EQ(b->standardButtons(), QMessageBox::Ok);
    };
  };
  Inspect<QMessageBox>([&] { seams.ShowMessage(nullptr, "Input file wrong"); },
                       box(QMessageBox::NoIcon, "Input file wrong"));
  Inspect<QMessageBox>(
      [&] { seams.ShowErrorMessage(nullptr, "Starting directory does not exist"); },
      box(QMessageBox::Critical, "Starting directory does not exist"));
  Inspect<QMessageBox>([&] { seams.ShowErrorReport(nullptr, "Not a valid tiff file."); },
                       box(QMessageBox::Critical, "Not a valid tiff file."));
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
        // Qt's own dialog shows its "Create New Folder" button.
        auto* create = d->findChild<QToolButton*>("newFolderButton");
        ASSERT_NE(create, nullptr);
        EXPECT_TRUE(create->isEnabled());
      });
}

} // namespace
} // namespace lodestar::test
