// The printed report of the Info tab: the listed rows on paper or in the preview, laid out by
// DrawReport on a Qt painter over the printer.
#include "ImageList1.h"
#include "ReportModel.h"
#include "ReportPdf.h"
#include "TForm1.h"
#include "TQtPrintCanvas.h"

#include <QAction>
#include <QHeaderView>
#include <QPainter>
#include <QPrinter>
#include <QTreeView>
#include <stdexcept>

namespace {

// Whatever the dialog said: one portrait copy, under the job's title.
void SetUpJob(QPrinter& printer) {
  printer.setDocName(QString::fromUtf8(lodestar::PrintJobTitle));
  printer.setCopyCount(1);
  printer.setPageOrientation(QPageLayout::Portrait);
}

void PaintReport(QPrinter& printer, const lodestar::TPrintJob& job) {
  QPainter painter;
  if (!painter.begin(&printer))
    throw std::runtime_error("The printer could not start the job");
  try {
    TQtPrintCanvas canvas(painter, printer);
    lodestar::DrawReport(canvas, job);
  } catch (...) {
    // Abandoned, not ended, so no half report reaches the printer.
    printer.abort();
    throw;
  }
  if (!painter.end())
    throw std::runtime_error("The printer could not finish the job");
}

} // namespace

void TForm1::ActionPrintUpdate() {
  const bool enabled = FTiffFile != nullptr;
  SetActionState(ActionPrint, enabled, ImageIndex::Print);
  if (ActionPrintPreview->isEnabled() != enabled)
    ActionPrintPreview->setEnabled(enabled);
}

void TForm1::ActionPrintExecute() {
  QPrinter printer(QPrinter::HighResolution);
  if (!FSeams->ExecPrintDialog(this, printer))
    return;
  SetUpJob(printer);
  PaintReport(printer, PrintJob());
}

void TForm1::ActionPrintPreviewExecute() {
  QPrinter printer(QPrinter::HighResolution);
  SetUpJob(printer);
  const lodestar::TPrintJob job = PrintJob();
  // Called from inside the preview's own events, where no error may escape.
  FSeams->ShowPrintPreview(this, printer, [this, &job](QPrinter& target) {
    Guard([&] {
      SetUpJob(target);
      PaintReport(target, job);
    });
  });
}

lodestar::TPrintJob TForm1::PrintJob() const {
  lodestar::TPrintJob job;
  const lodestar::TReportRows& listed = ListedRows();
  // The file the rows were built from. FTiffFile may hold another one by now: the empty object
  // of a failed open, or the last file a batch run visited.
  job.FileName = listed.FilePath;
  job.Date = lodestar::TodayShortDate();
  const QHeaderView* header = ListView1->header();
  for (int column = 0; column < ListView1Model->columnCount(); ++column) {
    job.Captions.push_back(
        ListView1Model->headerData(column, Qt::Horizontal).toString().toStdString());
    job.ColumnWidths.push_back(header->sectionSize(column));
  }
  job.Rows = listed.Rows;
  return job;
}
