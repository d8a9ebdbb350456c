#include "TForm1.h"

#include "ErrorReport.h"
#include "ImageList1.h"
#include "TQtUiSeams.h"
#include "cLodestar.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

TForm1::TForm1(const QStringList& arguments, std::unique_ptr<TUiSeams> seams, QWidget* parent)
    : QMainWindow(parent), FSeams(seams ? std::move(seams) : std::make_unique<TQtUiSeams>()),
      ImageList1(MakeImageList1()) {
  setWindowTitle(QString::fromUtf8(MainWindowCaption));
  move(452, 187);
  resize(843, 668);

  ComposeActions();
  ComposeMenu();
  ComposeToolBar();
  ComposeStatusBar();
  ComposeInfoTab();
  ComposeBatchTab();
  BindActions();
  BindBatchControls();

  // The enable rules are re-evaluated whenever the GUI thread is about to wait for events, that
  // is after every burst of events has been handled.
  connect(QAbstractEventDispatcher::instance(thread()), &QAbstractEventDispatcher::aboutToBlock,
          this, &TForm1::UpdateActions);

  FormCreate(arguments);
  UpdateActions();
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
  // 843 x 668 is the outer size; the frame is known only once the window manager has one.
  if (FOuterSizeSet)
    return;
  FOuterSizeSet = true;
  const QSize frameExtra = frameGeometry().size() - geometry().size();
  if (!frameExtra.isEmpty())
    resize(QSize(843, 668) - frameExtra);
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
