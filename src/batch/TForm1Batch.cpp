// The Batch tab's operations of the main window. The handlers are bound in src/app
// (TForm1ComposeBatch.cpp) and run with errors going to the default error report; the update
// handlers run at every idle moment through TForm1::UpdateActions. The search list's rules and
// the run itself live in the widget-free engine (TSearchList, TBatchEngine); what is here moves
// texts between it and the controls.
#include "ImageList1.h"
#include "TBatchEngine.h"
#include "TForm1.h"
#include "TForm1BatchHost.h"
#include "TResultsFile.h"
#include "TSearchListModel.h"
#include "cLodestar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QToolButton>

namespace {

int SelectedRow(const QListView* list) {
  const QModelIndexList selected = list->selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.first().row();
}

// The pane's lines as UTF-8, each ended by '\n'. Taken block by block rather than through
// toPlainText, which would turn no-break spaces of the values into plain blanks.
std::string PaneText(const QPlainTextEdit* pane) {
  std::string text;
  for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
    text += block.text().toStdString();
    text += '\n';
  }
  return text;
}

} // namespace

void TForm1::BindBatchTab() {
  // Ticks go into the list through the model; the selection is the view's and is passed on.
  connect(listboxTags->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { FSearchList.Select(SelectedRow(listboxTags)); });
  ShowSearchList();

  // The pane holds every record of a run, however many: no line limit, and appending stays as
  // cheap at the last record as at the first.
  RedtResults->document()->setMaximumBlockCount(0);
}

void TForm1::ShowSearchList() {
  // The view's selection is only brought in step here; its signals would write the same back.
  const int selected = FSearchList.Selected();
  listboxTagsModel->Refresh();
  QItemSelectionModel* selection = listboxTags->selectionModel();
  const QSignalBlocker blocker(selection);
  if (selected < 0) {
    selection->clearSelection();
    selection->clearCurrentIndex();
  } else {
    selection->setCurrentIndex(listboxTagsModel->index(selected),
                               QItemSelectionModel::ClearAndSelect);
  }
  // The view repaints the selection it was not told of.
  listboxTags->viewport()->update();
}

// --- Search list ---

void TForm1::ActionAddNewTagExecute() {
  const int index =
      FSearchList.Add(edtTagNumber->text().toStdString(), edtTagDescription->text().toStdString());
  ShowSearchList();
  if (index >= 0)
    listboxTags->scrollTo(listboxTagsModel->index(index));
}

void TForm1::ActionAddNewTagUpdate() {
  if (!FRetrieving)
    SetActionState(ActionAddNewTag,
                   lodestar::TSearchList::CanAdd(edtTagNumber->text().toStdString()),
                   ImageIndex::None);
}

void TForm1::ActionDeleteTagExecute() {
  FSearchList.Delete();
  ShowSearchList();
}

void TForm1::ActionDeleteTagUpdate() {
  if (!FRetrieving)
    SetActionState(ActionDeleteTag, FSearchList.CanDelete(), ImageIndex::None);
}

void TForm1::ActionSortTagsExecute() {
  FSearchList.Sort();
  ShowSearchList();
}

void TForm1::ActionSortTagsUpdate() {
  if (!FRetrieving)
    SetActionState(ActionSortTags, FSearchList.CanSort(), ImageIndex::None);
}

void TForm1::ActionMoveUpExecute() {
  FSearchList.MoveUp();
  ShowSearchList();
}

void TForm1::ActionMoveUpUpdate() {
  if (!FRetrieving)
    SetActionState(ActionMoveUp, FSearchList.CanMoveUp(), ImageIndex::None);
}

void TForm1::ActionMoveDownExecute() {
  FSearchList.MoveDown();
  ShowSearchList();
}

void TForm1::ActionMoveDownUpdate() {
  if (!FRetrieving)
    SetActionState(ActionMoveDown, FSearchList.CanMoveDown(), ImageIndex::None);
}

void TForm1::btnResetClick() {
  FSearchList.Reset();
  ShowSearchList();
}

void TForm1::edtTagNumberKeyPress(QChar& Key) {
  // Only typed characters are filtered. Editing keys arrive with a control character as their
  // text (Tab 0x09, Delete 0x7F, Ctrl+A 0x01, ...) and keep working; Backspace passes as a digit.
  if (Key.category() == QChar::Other_Control)
    return;
  if (!lodestar::IsTagNumberKey(Key.unicode()))
    Key = QChar();
}

// --- The run ---

void TForm1::ActionStartRetrieveExecute() {
  TForm1BatchHost host(*this);
  lodestar::TBatchEngine engine(host);
  engine.SetJobs(FBatchReadAhead);
  engine.SetLiveOptions(true);
  engine.Run();
}

void TForm1::ActionStartRetrieveUpdate() {
  if (!FRetrieving)
    SetActionState(ActionStartRetrieve,
                   lodestar::DirectoryExists(QFile::encodeName(edtStartDir->text()).toStdString()),
                   -1);
}

void TForm1::btnStopClick() {
  RequestBatchStop();
}

void TForm1::spdBtnStartingDirClick() {
  if (const std::optional<QString> directory = FSeams->GetExistingDirectory(this, QString()))
    edtStartDir->setText(QDir::toNativeSeparators(*directory));
}

void TForm1::SetBatchControlsEnabled(bool enabled) {
  // Set first when holding and last when freeing, so no enable rule runs in between. The
  // action-bound buttons are freed here and follow their rules from the next idle moment.
  if (!enabled)
    FRetrieving = true;
  for (QAction* action : {ActionStartRetrieve, ActionAddNewTag, ActionDeleteTag, ActionMoveUp,
                          ActionMoveDown, ActionSortTags})
    action->setEnabled(enabled);
  for (QWidget* control : std::initializer_list<QWidget*>{
           BitBtnClose, spdBtnStartingDir, btnReset, edtCounter, edtPages, GroupBoxExportOptions})
    control->setEnabled(enabled);
  btnStop->setEnabled(!enabled);
  if (enabled)
    FRetrieving = false;
}

// --- What a run reads and writes ---

void TForm1::BeginBatchRun() {
  FStopRetrieve = false;
  SetBatchControlsEnabled(false);
  // Undo steps for every appended record would hold the whole pane a second time.
  RedtResults->setUndoRedoEnabled(false);
  RedtResults->clear();
}

void TForm1::EndBatchRun() {
  RedtResults->setUndoRedoEnabled(true);
  SetBatchControlsEnabled(true);
}

void TForm1::ReadBatchRunOptions(lodestar::TRunOptions& options) const {
  options.StartDir = QFile::encodeName(edtStartDir->text()).toStdString();
  options.SearchItemCount = FSearchList.Count();
  options.AddDescription = cbAddDescription->isChecked();
  options.IncludeRoot = cbIncludeRoot->isChecked();
  options.IncludeSubDirectories = cbIncludeSubDirectories->isChecked();
}

void TForm1::ReadBatchRecordOptions(lodestar::TRecordOptions& options) const {
  options.Separator = cmbbxSeperator->currentText().toStdString();
  options.SplitPath = chkbxSplitFileNameAndPath->isChecked();
  options.TrimValue = cbTrimValue->isChecked();
  options.AllPages = cbAllPages->isChecked();
  options.CheckFiles = cbCheckFiles->isChecked();
  FSearchList.TickedTexts(options.TickedItems);
}

void TForm1::AddResultLine(const std::string& Line) {
  RedtResults->appendPlainText(QString::fromUtf8(Line));
}

std::string TForm1::BatchCounterText() const {
  return edtCounter->text().toStdString();
}

std::string TForm1::BatchPagesText() const {
  return edtPages->text().toStdString();
}

void TForm1::ShowBatchCounters(const std::string& files, const std::string& pages) {
  edtCounter->setText(QString::fromStdString(files));
  edtPages->setText(QString::fromStdString(pages));
}

void TForm1::ShowFileRead(const std::string& fullPath) {
  const QString path = QFile::decodeName(QByteArray::fromStdString(fullPath));
  Label3->setText(path);
  StatusBar1Panels[1]->setText(path);
}

void TForm1::SetBatchStatusText(const std::string& text) {
  StatusBar2->setText(QFile::decodeName(QByteArray::fromStdString(text)));
}

void TForm1::SetTiffFile(std::unique_ptr<lodestar::TTiffFile> file) {
  FTiffFile = std::move(file);
}

// --- Saving ---

void TForm1::ActionSaveResultsExecute() {
  const std::optional<QString> name = FSeams->GetSaveFileName(this);
  if (!name)
    return;
  lodestar::SaveResultsText(QFile::encodeName(*name).toStdString(), PaneText(RedtResults));
}

void TForm1::ActionSaveResultsUpdate() {
  // Not held during a run: a save then writes the records so far.
  SetActionState(ActionSaveResults, !RedtResults->document()->isEmpty(), ImageIndex::None);
}
