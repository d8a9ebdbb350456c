#include "ImageList1.h"
#include "TForm1.h"
#include "TSearchListModel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

namespace {

// Places the Batch tab's controls at the pixel positions of its design.
template <typename T> T* Place(T* widget, int left, int top, int width = -1, int height = -1) {
  if (width < 0) {
    widget->adjustSize();
    widget->move(left, top);
  } else {
    widget->setGeometry(left, top, width, height);
  }
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return Place(label, left, top);
}

// A label that ends just before the field it names and stands level with it, as the design has
// it, whatever the font makes of its size.
QLabel* LabelBefore(QWidget* parent, const QString& text, const QWidget* field) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->adjustSize();
  label->move(std::max(0, field->x() - 4 - label->width()),
              field->y() + (field->height() - label->height()) / 2);
  return label;
}

QToolButton* PictureButton(QWidget* parent, TBatchGlyph glyph, int left, int top, int width,
                           int height) {
  auto* button = new QToolButton(parent);
  button->setIcon(BatchGlyph(glyph));
  button->setAutoRaise(false);
  return Place(button, left, top, width, height);
}

QCheckBox* CheckBox(QWidget* parent, const QString& text, bool ticked, int left, int top) {
  auto* box = new QCheckBox(text, parent);
  box->setChecked(ticked);
  return Place(box, left, top);
}

// Widens box so that every control in it keeps a margin to its right border, as in the design;
// returns by how much it grew.
int GrowToFit(QWidget* box) {
  constexpr int margin = 8;
  const int needed = box->childrenRect().right() + 1 + margin;
  const int grown = std::max(0, needed - box->width());
  box->resize(box->width() + grown, box->height());
  return grown;
}

} // namespace

void TForm1::ComposeBatchTab() {
  TabSheetBatch = new QWidget;
  TabSheetBatch->setMinimumSize(800, 550);
  // The controls stand at fixed pixel places laid out for an 8-point font; the desktop's family
  // at that size keeps every caption inside its control.
  QFont designFont = TabSheetBatch->font();
  designFont.setPointSize(8);
  TabSheetBatch->setFont(designFont);
  TabSheetBatch->installEventFilter(this);

  Label10 = MakeLabel(TabSheetBatch, "Retrieve tag information from tiff files", 16, 8);
  QFont bold = Label10->font();
  bold.setBold(true);
  Label10->setFont(bold);
  Label10->adjustSize();
  Label1 = MakeLabel(TabSheetBatch, "Starting directory", 16, 32);
#ifdef Q_OS_WIN
  edtStartDir = Place(new QLineEdit("c:\\", TabSheetBatch), 16, 48, 537, 21);
#else
  edtStartDir = Place(new QLineEdit(QDir::homePath(), TabSheetBatch), 16, 48, 537, 21);
#endif
  spdBtnStartingDir = PictureButton(TabSheetBatch, TBatchGlyph::Folder, 560, 48, 23, 22);

  ComposeGroupBox1();
  ComposeExportOptions();
  ComposeGroupBox2();
  // Where the desktop's font is wider than the design's, the boxes grow to hold their captions
  // and the boxes on the right move along; the tab, and with it the window, grows to hold them.
  const int shift = GrowToFit(GroupBox1);
  for (QWidget* right : std::initializer_list<QWidget*>{GroupBoxExportOptions, GroupBox2})
    right->move(right->x() + shift, right->y());
  const int rightWidth = std::max(GroupBoxExportOptions->width() + GrowToFit(GroupBoxExportOptions),
                                  GroupBox2->width() + GrowToFit(GroupBox2));
  GroupBoxExportOptions->resize(rightWidth, GroupBoxExportOptions->height());
  GroupBox2->resize(rightWidth, GroupBox2->height());

  Label4 = MakeLabel(TabSheetBatch, "The Lodestar project", 613 + shift, 379);
  Label4->setFont(bold);
  QPalette blue = Label4->palette();
  blue.setColor(QPalette::WindowText, Qt::blue);
  Label4->setPalette(blue);
  Label4->adjustSize();
  lblResult = MakeLabel(TabSheetBatch, "Result:", 1, 374);
  Label3 = new QLabel("-                    ", TabSheetBatch);
  Label3->setTextFormat(Qt::PlainText);
  // Where the font makes "Result:" wider than the design's, the path keeps a gap after it.
  const int resultLeft = std::max(38, lblResult->x() + lblResult->width() + 4);
  Place(Label3, resultLeft, 375, 38 + 555 - resultLeft, lblResult->height());

  RedtResults = new QPlainTextEdit(TabSheetBatch);
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  fixed.setFamilies({"Courier New", fixed.family()});
  fixed.setStyleHint(QFont::Monospace);
  fixed.setFixedPitch(true);
  fixed.setPointSize(8);
  RedtResults->setFont(fixed);
  RedtResults->setLineWrapMode(QPlainTextEdit::NoWrap);
  // Tab moves on as everywhere else on the tab; the records hold only what the run wrote.
  RedtResults->setTabChangesFocus(true);
  RedtResults->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  RedtResults->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  StatusBar2 = new QLabel("Retrieve tiff information to scv format", TabSheetBatch);
  StatusBar2->setTextFormat(Qt::PlainText);
  StatusBar2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  StatusBar2->setIndent(2);
  Place(RedtResults, 0, 397, 800, 134);
  Place(StatusBar2, 0, 531, 800, 19);
  const QRect used = TabSheetBatch->childrenRect();
  TabSheetBatch->setMinimumSize(std::max(800, used.right() + 1 + 8),
                                std::max(550, used.bottom() + 1));

  // On a screen smaller than the tab the window may shrink below it; the tab then scrolls.
  auto* scroller = new QScrollArea;
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setWidgetResizable(true);
  scroller->setWidget(TabSheetBatch);
  PageControl1->addTab(scroller, "Batch");
  PageControl1->setCurrentIndex(0);
}

void TForm1::ComposeGroupBox1() {
  GroupBox1 = Place(new QGroupBox("Tags Searchlist", TabSheetBatch), 24, 88, 561, 281);

  listboxTags = Place(new QListView(GroupBox1), 8, 16, 273, 257);
  listboxTags->setSelectionMode(QAbstractItemView::SingleSelection);
  listboxTagsModel = new TSearchListModel(FSearchList, listboxTags);
  listboxTags->setModel(listboxTagsModel);

  spBtnMoveTagUp = PictureButton(GroupBox1, TBatchGlyph::MoveUp, 279, 16, 25, 22);
  spBtnMoveTagDown = PictureButton(GroupBox1, TBatchGlyph::MoveDown, 279, 40, 25, 22);
  BitBtnAddTagEntry = Place(new QPushButton("Add", GroupBox1), 336, 40, 81, 25);
  BitBtnDeleteTagEntry = Place(new QPushButton("Delete", GroupBox1), 336, 72, 81, 25);
  spbtnSort = PictureButton(GroupBox1, TBatchGlyph::Sort, 424, 40, 65, 57);
  spbtnSort->setText("Sort");
  spbtnSort->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

  edtTagNumber = Place(new QLineEdit(GroupBox1), 352, 112, 121, 21);
  edtTagNumber->installEventFilter(this);
  Label5 = LabelBefore(GroupBox1, "Tag nr", edtTagNumber);
  edtTagDescription = Place(new QLineEdit(GroupBox1), 352, 136, 121, 21);
  Label6 = LabelBefore(GroupBox1, "Description", edtTagDescription);
  cmbbxSeperator = new QComboBox(GroupBox1);
  cmbbxSeperator->setEditable(true);
  cmbbxSeperator->addItems({",", ";"});
  // The design's 41 pixels leave the font a sliver beside the arrow; the box takes what its
  // style needs for a few characters, so the arrow and the text are easy to hit.
  cmbbxSeperator->setMinimumContentsLength(3);
  Place(cmbbxSeperator, 352, 160, std::max(41, cmbbxSeperator->sizeHint().width()), 21);
  cmbbxSeperator->setCurrentText(",");
  Label8 = LabelBefore(GroupBox1, "Seperator", cmbbxSeperator);
  chkbxSplitFileNameAndPath =
      CheckBox(GroupBox1, "Split file name and file path in csv", false, 296, 200);
  btnReset = Place(new QPushButton("Reset", GroupBox1), 280, 250, 49, 25);
  SpeedButton2 = PictureButton(GroupBox1, TBatchGlyph::Save, 528, 249, 25, 25);
}

void TForm1::ComposeExportOptions() {
  GroupBoxExportOptions = Place(new QGroupBox("Export options", TabSheetBatch), 600, 88, 225, 137);
  cbAddDescription = CheckBox(GroupBoxExportOptions, "Add tag description", true, 32, 24);
  cbIncludeRoot = CheckBox(GroupBoxExportOptions, "Include Starting Dir", true, 32, 40);
  cbIncludeSubDirectories = CheckBox(GroupBoxExportOptions, "Include subdirectories", true, 32, 56);
  cbTrimValue = CheckBox(GroupBoxExportOptions, "Trim ascii values", true, 32, 73);
  cbAllPages = CheckBox(GroupBoxExportOptions, "All pages in \"Multi page Tiff's\"", true, 32, 90);
  cbCheckFiles = CheckBox(GroupBoxExportOptions, "Check files", false, 32, 107);
}

void TForm1::ComposeGroupBox2() {
  GroupBox2 = Place(new QGroupBox(TabSheetBatch), 600, 232, 225, 153);
  edtCounter = Place(new QLineEdit("0", GroupBox2), 96, 12, 65, 21);
  Label2 = LabelBefore(GroupBox2, "Counter", edtCounter);
  edtCounter->setReadOnly(true);
  edtCounter->setToolTip("Show amount of files counted");
  edtPages = Place(new QLineEdit("0", GroupBox2), 96, 40, 65, 21);
  Label11 = LabelBefore(GroupBox2, "Pages", edtPages);
  BitBtnStart = Place(new QPushButton("Start", GroupBox2), 48, 64, 137, 25);
  btnStop = Place(new QPushButton("Stop", GroupBox2), 48, 90, 137, 25);
  btnStop->setEnabled(false);
  BitBtnClose = Place(
      new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), "&Close", GroupBox2), 48,
      120, 137, 25);
}

void TForm1::PlaceBatchResults() {
  // The results pane keeps its height and stands on the status line at the tab's bottom.
  const int width = TabSheetBatch->width();
  const int height = TabSheetBatch->height();
  StatusBar2->setGeometry(0, height - 19, width, 19);
  RedtResults->setGeometry(0, height - 19 - 134, width, 134);
}

void TForm1::BindBatchControls() {
  // The buttons keep their own captions and pictures and follow their actions' enabled state.
  auto follow = [this](QAbstractButton* button, QAction* action) {
    connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    button->setEnabled(action->isEnabled());
  };
  follow(spBtnMoveTagUp, ActionMoveUp);
  follow(spBtnMoveTagDown, ActionMoveDown);
  follow(BitBtnAddTagEntry, ActionAddNewTag);
  follow(BitBtnDeleteTagEntry, ActionDeleteTag);
  follow(spbtnSort, ActionSortTags);
  follow(BitBtnStart, ActionStartRetrieve);
  follow(SpeedButton2, ActionSaveResults);
  Bind(btnReset, &TForm1::btnResetClick);
  Bind(btnStop, &TForm1::btnStopClick);
  Bind(spdBtnStartingDir, &TForm1::spdBtnStartingDirClick);
  connect(BitBtnClose, &QPushButton::clicked, this, &QWidget::close);
  BindBatchTab();
}
