#include "ImageList1.h"
#include "ReportModel.h"
#include "TCellTipDelegate.h"
#include "TDownButton.h"
#include "TForm1.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// A toolbar gap of the given width with an etched line in its middle.
QWidget* Separator(int width) {
  auto* gap = new QWidget;
  gap->setFixedSize(width, 22);
  auto* line = new QFrame(gap);
  line->setFrameShape(QFrame::VLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(width / 2 - 1, 2, 2, 18);
  return gap;
}

// The widest text the file panel is given: "Filename: " and 29 characters, or "..." and 31, each
// character as wide as the widest letter, digit or sign of Latin-1, or the replacement character
// a name that is no UTF-8 is shown with.
int FileNamePanelTextWidth(const QFontMetrics& metrics) {
  int widest = metrics.horizontalAdvance(QChar(QChar::ReplacementCharacter));
  for (char16_t c = 0x21; c <= 0xff; ++c)
    if (c < 0x7f || c > 0xa0)
      widest = std::max(widest, metrics.horizontalAdvance(QChar(c)));
  return std::max(metrics.horizontalAdvance(QStringLiteral("Filename: ")) + 29 * widest,
                  metrics.horizontalAdvance(QStringLiteral("...")) + 31 * widest);
}

} // namespace

QAction* TForm1::MakeAction(const QString& caption, const QString& tip, int imageIndex) {
  auto* action = new QAction(caption, this);
  action->setToolTip(tip);
  if (imageIndex != ImageIndex::None) {
    action->setProperty("ImageIndex", imageIndex);
    action->setIcon(ImageList1.value(imageIndex));
  }
  ActionList1.push_back(action);
  return action;
}

void TForm1::ComposeActions() {
  // "&" marks the menu's access key; the captions shown are those of the design.
  ActionNextPage = MakeAction("&Next Page", "Move to next page", ImageIndex::NextPage);
  // These two take their captions from the menu items that show them.
  ActionPrevPage = MakeAction("&Prev Page", "Move to prev page", ImageIndex::PrevPage);
  ActionLaunchViewer =
      MakeAction("&Launch image viewer", "Launch file in external application", ImageIndex::Viewer);
  ActionStartHomepage = MakeAction({}, "Open webpage on internet", ImageIndex::WebPage);
  ActionCalculator = MakeAction({}, "Launch Calculator", ImageIndex::Calculator);
  ActionPrint = MakeAction("&Print...", "Send current report to printer", ImageIndex::Print);
  ActionPrintPreview =
      MakeAction("Print pre&view...", "Show the report's sheets before printing", ImageIndex::None);
  ActionSubDirectories =
      MakeAction("&Sub-directories", "Show the sub-directories and GeoTIFF keys of the page",
                 ImageIndex::None);
  ActionSubDirectories->setCheckable(true);
  ActionSubDirectories->setChecked(true);
  ActionSubDirectories->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
  ActionMoveUp = MakeAction({}, {}, ImageIndex::None);
  ActionMoveDown = MakeAction({}, {}, ImageIndex::None);
  ActionAddNewTag = MakeAction("Add", {}, ImageIndex::None);
  ActionDeleteTag = MakeAction("Delete", {}, ImageIndex::None);
  ActionSortTags = MakeAction("Sort", {}, ImageIndex::None);
  ActionStartRetrieve = MakeAction("Start", {}, ImageIndex::None);
  ActionSaveResults = MakeAction({}, {}, ImageIndex::None);
}

void TForm1::ComposeMenu() {
  MainMenu1 = menuBar();
  auto item = [this](QMenu* menu, const QString& caption, int imageIndex) {
    QAction* action = menu->addAction(ImageList1.value(imageIndex), caption);
    action->setProperty("ImageIndex", imageIndex);
    return action;
  };

  File1 = MainMenu1->addMenu("&File");
  Open1 = item(File1, "&Open", ImageIndex::MenuOpen);
  Saveas1 = item(File1, "&Save as", ImageIndex::SaveAs);
  Saveas1->setVisible(false);
  File1->addAction(ActionPrint);
  File1->addAction(ActionPrintPreview);
  File1->addSeparator();
  Exit1 = item(File1, "E&xit", ImageIndex::Exit);

  Options1 = MainMenu1->addMenu("&Options");
  NextPage1 = ActionNextPage;
  PreviousPage1 = ActionPrevPage;
  viewimage1 = ActionLaunchViewer;
  Options1->addAction(NextPage1);
  Options1->addAction(PreviousPage1);
  Options1->addAction(viewimage1);
  Exportcurrentimagetofile1 = item(Options1, "&Export page to file", ImageIndex::ExportPage);
  Combinetomultipage1 = item(Options1, "&Combine to multipage", ImageIndex::CombineMultipage);
  Splitmultipagefile1 = item(Options1, "&Split multipage file", ImageIndex::SplitMultipage);
  Batchsplit1 = item(Options1, "&Batch split", ImageIndex::ExportPage);
  for (QAction* never :
       {Exportcurrentimagetofile1, Combinetomultipage1, Splitmultipagefile1, Batchsplit1})
    never->setEnabled(false);

  View1 = MainMenu1->addMenu("&View");
  View1->addAction(ActionSubDirectories);

  About1 = MainMenu1->addMenu("&About");
  Aboutlodestar1 = item(About1, "&About Lodestar", ImageIndex::About);
  Emailsupport1 = item(About1, "&Email support", ImageIndex::EmailSupport);
}

void TForm1::ComposeShortcuts() {
  Open1->setShortcut(QKeySequence::Open);
  // Not every desktop names a key for quitting; Ctrl+Q is the common one.
  Exit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  ActionPrint->setShortcut(QKeySequence::Print);
  // Page Down and Page Up turn pages only while the focus is on the Info tab: on the Batch tab
  // they scroll the search list and the results pane.
  ActionNextPage->setShortcut(QKeySequence::MoveToNextPage);
  ActionPrevPage->setShortcut(QKeySequence::MoveToPreviousPage);
  for (QAction* action : {ActionNextPage, ActionPrevPage}) {
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    TabSheetInfo->addAction(action);
  }
}

void TForm1::ComposeToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->toggleViewAction()->setVisible(false);
  setContextMenuPolicy(Qt::NoContextMenu);
  ToolBar1->setIconSize(QSize(16, 16));
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolBar1->setFixedHeight(26);
  ToolBar1->setContentsMargins(0, 0, 0, 0);
  ToolBar1->layout()->setSpacing(0);
  addToolBar(Qt::TopToolBarArea, ToolBar1);

  auto button = [this](QToolButton* b, QAction* action) {
    b->setAutoRaise(true);
    b->setFixedSize(33, 22);
    b->setIconSize(QSize(16, 16));
    if (action != nullptr)
      b->setDefaultAction(action);
    ToolBar1->addWidget(b);
    return b;
  };
  auto plain = [this, &button](QToolButton* b, int imageIndex, const QString& tip) {
    b->setIcon(ImageList1.value(imageIndex));
    b->setToolTip(tip);
    return button(b, nullptr);
  };

  ToolButton1 = plain(new QToolButton, ImageIndex::Open, "Open an exiting file");
  ToolBar1->addWidget(Separator(26));
  tbPrevious = button(new QToolButton, ActionPrevPage);
  tbNext = button(new QToolButton, ActionNextPage);
  ToolBar1->addWidget(Separator(34));
  tbLauchImageViewer = button(new QToolButton, ActionLaunchViewer);
  ToolBar1->addWidget(Separator(29));
  tb10 = new TDownButton;
  tb16 = new TDownButton;
  plain(tb10, ImageIndex::Dec, "Show values in DEC format");
  plain(tb16, ImageIndex::Hex, "shhow values in HEX format");
  tb10->setCheckable(true);
  tb16->setCheckable(true);
  tb10->SetDown(true);
  tbSubDirectories = button(new QToolButton, ActionSubDirectories);
  ToolBar1->addWidget(Separator(26));
  tbtnPrint = button(new QToolButton, ActionPrint);
  ToolBar1->addWidget(Separator(32));
  tbCalc = button(new QToolButton, ActionCalculator);
  tnInternet = button(new QToolButton, ActionStartHomepage);
}

void TForm1::ComposeStatusBar() {
  StatusBar1 = statusBar();
  StatusBar1->setFixedHeight(26);
  const char* texts[] = {"Filename", "Pages", "Fileinfo "};
  // The widths were laid out for a small 8-point font; with the desktop's font a panel grows to
  // the longest text it can be given, so no path end or figure is cut off. The file panel shows
  // up to 31 characters of a path, any of which may be as wide as a "W".
  const char* longest[] = {"", "Page 99999 of 99999", "Width:  1000.00 mm;  Length:  1000.00 mm"};
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(texts[i]);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setTextFormat(Qt::PlainText);
    const QFontMetrics metrics = panel->fontMetrics();
    const int text = i == 0 ? FileNamePanelTextWidth(metrics)
                            : metrics.horizontalAdvance(QString::fromLatin1(longest[i]));
    const int width = std::max(StatusPanelWidths[static_cast<std::size_t>(i)], text + 8);
    if (i < 2)
      panel->setFixedWidth(width);
    else
      panel->setMinimumWidth(width);
    StatusBar1->addWidget(panel, i == 2 ? 1 : 0);
    StatusBar1Panels[static_cast<std::size_t>(i)] = panel;
  }
}

void TForm1::ComposeInfoTab() {
  PageControl1 = new QTabWidget(this);
  PageControl1->setTabPosition(QTabWidget::West);
  setCentralWidget(PageControl1);

  TabSheetInfo = new QWidget;
  auto* layout = new QVBoxLayout(TabSheetInfo);
  layout->setContentsMargins(0, 0, 0, 0);

  ListView1 = new QTreeView(TabSheetInfo);
  ListView1Model = new TReportModel(ListView1);
  ListView1->setModel(ListView1Model);
  ListView1->setItemDelegate(new TCellTipDelegate(ListView1));
  ListView1->setRootIsDecorated(false);
  ListView1->setItemsExpandable(false);
  ListView1->setUniformRowHeights(true);
  ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setAllColumnsShowFocus(true);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSortingEnabled(false);
  ListView1->setMinimumSize(700, 300);
  ListView1->viewport()->setCursor(Qt::PointingHandCursor);
  QPalette palette = ListView1->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  ListView1->setPalette(palette);
  QHeaderView* header = ListView1->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  for (int column = 0; column < lodestar::ReportColumnCount; ++column)
    header->resizeSection(column, ColumnWidth(column));
  layout->addWidget(ListView1);

  PageControl1->addTab(TabSheetInfo, "Info");
}

int TForm1::ColumnWidth(int column) const {
  // The design widths suit a small 8-point font. With the desktop's font a column is widened
  // just enough to show its caption, and "Tag nr" the "Filename" label it carries.
  const QFontMetrics metrics = ListView1->fontMetrics();
  const int margin = 2 * ListView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8;
  int needed = metrics.horizontalAdvance(lodestar::ReportColumns[column].Caption) + margin;
  if (column == 2)
    needed = std::max(needed, metrics.horizontalAdvance("Filename") + margin);
  return std::max(lodestar::ReportColumns[column].Width, needed);
}

void TForm1::BindActions() {
  Bind(ActionNextPage, &TForm1::ActionNextPageExecute);
  Bind(ActionPrevPage, &TForm1::ActionPrevPageExecute);
  Bind(ActionLaunchViewer, &TForm1::ActionLaunchViewerExecute);
  Bind(ActionStartHomepage, &TForm1::ActionStartHomepageExecute);
  Bind(ActionCalculator, &TForm1::ActionCalculatorExecute);
  Bind(ActionPrint, &TForm1::ActionPrintExecute);
  Bind(ActionPrintPreview, &TForm1::ActionPrintPreviewExecute);
  Bind(ActionSubDirectories, &TForm1::ActionSubDirectoriesExecute);
  Bind(ActionMoveUp, &TForm1::ActionMoveUpExecute);
  Bind(ActionMoveDown, &TForm1::ActionMoveDownExecute);
  Bind(ActionAddNewTag, &TForm1::ActionAddNewTagExecute);
  Bind(ActionDeleteTag, &TForm1::ActionDeleteTagExecute);
  Bind(ActionSortTags, &TForm1::ActionSortTagsExecute);
  Bind(ActionStartRetrieve, &TForm1::ActionStartRetrieveExecute);
  Bind(ActionSaveResults, &TForm1::ActionSaveResultsExecute);
  Bind(Open1, &TForm1::Open1Click);
  Bind(Aboutlodestar1, &TForm1::Aboutlodestar1Click);
  Bind(Emailsupport1, &TForm1::Emailsupport1Click);
  connect(Exit1, &QAction::triggered, this, &QWidget::close);
  Bind(ToolButton1, &TForm1::Open1Click);
  Bind(tb10, &TForm1::tb10Click);
  Bind(tb16, &TForm1::tb16Click);
  connect(ListView1, &QTreeView::doubleClicked, this,
          [this] { Guard([this] { ListView1DblClick(); }); });
}
