#include "TForm1.h"

#include "ErrorReport.h"
#include "ImageList1.h"
#include "TQtUiSeams.h"
#include "WindowPlacement.h"
#include "cLodestar.h"

#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

TForm1::TForm1(const QStringList& arguments, std::unique_ptr<TUiSeams> seams, QWidget* parent)
    : QMainWindow(parent), ImageList1(MakeImageList1()),
      FSeams(seams ? std::move(seams) : std::make_unique<TQtUiSeams>()) {
  setWindowTitle(QString::fromUtf8(MainWindowCaption));

  ComposeActions();
  ComposeMenu();
  ComposeToolBar();
  ComposeStatusBar();
  ComposeInfoTab();
  ComposeBatchTab();
  ComposeFindingsPanel();
  ComposeShortcuts();
  BindActions();
  BindBatchControls();
  PlaceOnScreen();

  // The enable rules are re-evaluated whenever the GUI thread is about to wait for events, that
  // is after every burst of events has been handled.
  connect(QAbstractEventDispatcher::instance(thread()), &QAbstractEventDispatcher::aboutToBlock,
          this, &TForm1::UpdateActions);

  FormCreate(arguments);
  UpdateActions();
  // The window opens with the listing focused, so Page Down and the arrow keys work at once.
  ListView1->setFocus();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate(const QStringList& arguments) {
  // Drops are accepted from the start, also when opening the command-line file fails.
  setAcceptDrops(true);
  if (arguments.isEmpty())
    return;
  // Further arguments are ignored; a directory or a missing path is ignored without a message.
  // Made absolute, as the open dialog would give it: the status bar and later reloads see the
  // same path whichever road the file came by.
  const QFileInfo first(arguments.first());
  Guard([&] { OpenTiffFile(QFile::encodeName(first.absoluteFilePath()).toStdString(), 1, true); });
}

void TForm1::OpenDroppedFile(const QString& path) {
  const QFileInfo info(path);
  Guard([&] { OpenTiffFile(QFile::encodeName(info.absoluteFilePath()).toStdString(), 1, true); });
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls())
    event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  event->acceptProposedAction();
  // Only the first dropped file counts, even when it is no file at all.
  if (urls.isEmpty() || !urls.first().isLocalFile())
    return;
  OpenDroppedFile(urls.first().toLocalFile());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edtTagNumber && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.isEmpty())
      return false;
    QChar key = text.front();
    Guard([&] { edtTagNumberKeyPress(key); });
    return key.isNull();
  }
  if (watched == TabSheetBatch && event->type() == QEvent::Resize)
    PlaceBatchResults();
  return QMainWindow::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Once shown, the widgets give their true least sizes; the place is taken again with them.
  if (!FPlacedWhenShown) {
    FPlacedWhenShown = true;
    PlaceOnScreen();
  }
}

void TForm1::PlaceOnScreen() {
  // The design's place and size are those of the outer frame, which the window manager adds
  // only when the window is shown; a title bar and thin borders are assumed for it.
  const int border = 4;
  const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight);
  const QSize frameExtra(2 * border, title + 2 * border);
  // The sizes below are those of the style and fonts the window will be shown with.
  ensurePolished();
  // The window starts large enough to show the Batch tab whole, whose controls may need more
  // than the design gives them (around a page it adds what its least size adds to the Info
  // page's), and the status bar's panels whole.
  const QSize aroundPage = minimumSizeHint() - TabSheetInfo->minimumSizeHint();
  const QSize batchWhole = TabSheetBatch->minimumSize() + aroundPage + frameExtra;
  const QSize statusWhole(StatusBar1->minimumSizeHint().width() + frameExtra.width(), 0);
  const QSize outer = QSize(843, 668).expandedTo(batchWhole).expandedTo(statusWhole);
  const QRect available = screen() ? screen()->availableGeometry() : QRect();
  const QRect frame = PlaceInside(QRect(QPoint(452, 187), outer), available);
  const QSize client = frame.size() - frameExtra;
  // On a small screen the status panels go back to their design widths, and the listing gives up
  // the part of its least size that still does not fit; it scrolls anyway.
  if (std::max(minimumSizeHint().width(), StatusBar1->minimumSizeHint().width()) > client.width()) {
    for (std::size_t i = 0; i < 2; ++i)
      StatusBar1Panels[i]->setFixedWidth(StatusPanelWidths[i]);
    StatusBar1Panels[2]->setMinimumWidth(StatusPanelWidths[2]);
    // Not yet shown, the panels do not tell their layouts of the change themselves.
    StatusBar1->layout()->invalidate();
    layout()->invalidate();
  }
  // The size panel gives up what the verdict beside it needs; its text is then cut at the right.
  const int statusOver = StatusBar1->minimumSizeHint().width() - client.width();
  if (statusOver > 0) {
    QLabel* size = StatusBar1Panels[2];
    size->setMinimumWidth(std::max(0, size->minimumWidth() - statusOver));
    StatusBar1->layout()->invalidate();
  }
  const QSize over = (minimumSizeHint() - client).expandedTo(QSize(0, 0));
  if (over.width() > 0 || over.height() > 0)
    ListView1->setMinimumSize((ListView1->minimumSize() - over).expandedTo(QSize(0, 0)));
  // The window's least size follows at once, before the resize below is held to the old one.
  layout()->activate();
  // Placed by its inside, which the window manager leaves where it is asked to be.
  setGeometry(QRect(frame.topLeft() + QPoint(border, title + border), client));
}

void TForm1::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ShowErrorReport(e.what());
  } catch (...) {
    ShowErrorReport("Unknown error");
  }
}

void TForm1::ShowErrorReport(const std::string& message) {
  FSeams->ShowErrorReport(this, QString::fromUtf8(ErrorReportText(message)));
}

void TForm1::ShowMessage(const std::string& text) {
  FSeams->ShowMessage(this, QString::fromUtf8(text));
}

void TForm1::ShowErrorMessage(const std::string& text) {
  FSeams->ShowErrorMessage(this, QString::fromUtf8(text));
}

void TForm1::UpdateActions() {
  // A message box shown from a rule runs its own event loop, which would come back here.
  if (FUpdatingActions)
    return;
  FUpdatingActions = true;
  for (void (TForm1::*rule)() :
       {&TForm1::ActionNextPageUpdate, &TForm1::ActionPrevPageUpdate, &TForm1::ActionPrintUpdate,
        &TForm1::ActionLaunchViewerUpdate, &TForm1::ActionAddNewTagUpdate,
        &TForm1::ActionDeleteTagUpdate, &TForm1::ActionSortTagsUpdate, &TForm1::ActionMoveUpUpdate,
        &TForm1::ActionMoveDownUpdate, &TForm1::ActionStartRetrieveUpdate,
        &TForm1::ActionSaveResultsUpdate})
    Guard([&] { (this->*rule)(); });
  FUpdatingActions = false;
}

int TForm1::ImageIndex(const QAction* action) {
  const QVariant index = action->property("ImageIndex");
  return index.isValid() ? index.toInt() : -1;
}

void TForm1::SetActionState(QAction* action, bool enabled, int imageIndex) {
  // Only real changes: every change repaints the bound buttons, and a repaint is an event that
  // would bring the idle update back at once.
  if (action->isEnabled() != enabled)
    action->setEnabled(enabled);
  if (ImageIndex(action) != imageIndex) {
    action->setProperty("ImageIndex", imageIndex);
    action->setIcon(ImageList1.value(imageIndex));
  }
}

void TForm1::Bind(QAction* action, void (TForm1::*handler)()) {
  connect(action, &QAction::triggered, this,
          [this, handler] { Guard([&] { (this->*handler)(); }); });
}

void TForm1::Bind(QAbstractButton* button, void (TForm1::*handler)()) {
  connect(button, &QAbstractButton::clicked, this,
          [this, handler] { Guard([&] { (this->*handler)(); }); });
}
