#include "TForm1BatchHost.h"

#include "TForm1.h"
#include "cLodestar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

TForm1BatchHost::TForm1BatchHost(TForm1& form) : FForm(form) {
  FForm.installEventFilter(this);
}

TForm1BatchHost::~TForm1BatchHost() {
  FForm.removeEventFilter(this);
}

bool TForm1BatchHost::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &FForm && event->type() == QEvent::Close)
    FForm.FStopRetrieve = true;
  return false;
}

void TForm1BatchHost::RunStarting() {
  FForm.FStopRetrieve = false;
  FForm.DisableBatchControls();
  // Undo steps for every appended record would hold the whole pane a second time.
  FForm.RedtResults->setUndoRedoEnabled(false);
  FForm.RedtResults->clear();
  FCounter = FForm.edtCounter->text().toStdString();
  FPages = FForm.edtPages->text().toStdString();
}

void TForm1BatchHost::RunFinished() {
  Flush();
  FForm.RedtResults->setUndoRedoEnabled(true);
  FForm.EnableBatchControls();
}

void TForm1BatchHost::ReadRunOptions(lodestar::TRunOptions& options) {
  options.StartDir = QFile::encodeName(FForm.edtStartDir->text()).toStdString();
  options.SearchItemCount = FForm.FSearchList.Count();
  options.AddDescription = FForm.cbAddDescription->isChecked();
  options.IncludeRoot = FForm.cbIncludeRoot->isChecked();
  options.IncludeSubDirectories = FForm.cbIncludeSubDirectories->isChecked();
}

void TForm1BatchHost::ReadRecordOptions(lodestar::TRecordOptions& options) {
  options.Separator = FForm.cmbbxSeperator->currentText().toStdString();
  options.SplitPath = FForm.chkbxSplitFileNameAndPath->isChecked();
  options.TrimValue = FForm.cbTrimValue->isChecked();
  options.AllPages = FForm.cbAllPages->isChecked();
  FForm.FSearchList.TickedTexts(options.TickedItems);
}

void TForm1BatchHost::ShowError(const std::string& message) {
  // The box stands over a cleared pane and a file counter of "0".
  Flush();
  FForm.ShowErrorMessage(message);
}

void TForm1BatchHost::AddResultLine(const std::string& line) {
  FPendingRecords += line;
  FPendingRecords += '\n';
}

void TForm1BatchHost::SetStatusText(const std::string& text) {
  FForm.StatusBar2->setText(QFile::decodeName(QByteArray::fromStdString(text)));
}

void TForm1BatchHost::FileRead(const std::string& fullPath) {
  FLastFile = fullPath;
}

void TForm1BatchHost::ProcessMessages() {
  if (FEventsLetOnce && std::chrono::steady_clock::now() - FEventsLet < EventInterval)
    return;
  Flush();
  QCoreApplication::processEvents();
  FEventsLetOnce = true;
  FEventsLet = std::chrono::steady_clock::now();
}

void TForm1BatchHost::Flush() {
  if (!FPendingRecords.empty()) {
    // One append for many records: the pane then lays out only the lines it shows.
    FPendingRecords.pop_back();
    FForm.AddResultLine(FPendingRecords);
    FPendingRecords.clear();
  }
  if (FShowCounters) {
    FForm.edtCounter->setText(QString::fromStdString(FCounter));
    FForm.edtPages->setText(QString::fromStdString(FPages));
    FShowCounters = false;
  }
  if (!FLastFile.empty()) {
    const QString path = QFile::decodeName(QByteArray::fromStdString(FLastFile));
    FForm.Label3->setText(path);
    FForm.StatusBar1Panels[1]->setText(path);
    FLastFile.clear();
  }
}

bool TForm1BatchHost::StopRequested() {
  return FForm.FStopRetrieve;
}

// Both counters are disabled during a run, so their texts change only through the run.
std::string TForm1BatchHost::CounterText() {
  return FCounter;
}

void TForm1BatchHost::SetCounterText(const std::string& text) {
  FCounter = text;
  FShowCounters = true;
}

std::string TForm1BatchHost::PagesText() {
  return FPages;
}

void TForm1BatchHost::SetPagesText(const std::string& text) {
  FPages = text;
  FShowCounters = true;
}

void TForm1BatchHost::ReleaseFile() {
  FForm.FTiffFile.reset();
}

void TForm1BatchHost::KeepFile(std::unique_ptr<lodestar::TTiffFile> file) {
  FForm.FTiffFile = std::move(file);
}
