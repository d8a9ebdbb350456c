// The Info tab's operations of the main window: open, listing, navigation, display base and the
// status panels. The rows themselves come from BuildReportRows and the panel texts from
// StatusPanels; these handlers only move them onto the screen.
#include "ImageList1.h"
#include "ReportModel.h"
#include "StatusPanels.h"
#include "TDownButton.h"
#include "TForm1.h"
#include "cLodestar.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QTreeView>

void TForm1::Open1Click() {
  const std::optional<QString> name =
      FSeams->GetOpenFileName(this, "Tiff Files (*.tif *.tiff);;Alle files (*)");
  if (!name)
    return;
  OpenTiffFile(QFile::encodeName(*name).toStdString(), 1);
}

void TForm1::OpenTiffFile(const std::string& FileName, int Page, bool IgnoreMissing) {
  // The caller may pass the path held by the very object replaced below (a reload does).
  const std::string name = FileName;
  // The reader's messages are modal boxes: loading waits until each one is closed.
  auto file = std::make_unique<lodestar::TTiffFile>(
      [this](const std::string& message) { ShowMessage(message); });
  try {
    file->SetFileName(name);
  } catch (...) {
    // The error leaves here for the default error report: the listing and the panels keep what
    // they showed, while the slot holds the new, empty file object.
    FTiffFile = std::move(file);
    throw;
  }
  const lodestar::TLoadStatus status = file->LoadStatus();
  if (IgnoreMissing &&
      (status == lodestar::TLoadStatus::NotFound || status == lodestar::TLoadStatus::IsDirectory ||
       status == lodestar::TLoadStatus::Unreachable))
    return;
  FTiffFile = std::move(file);
  ShowPage(Page);
  UpdateStatusPanels();
  CheckOpenFile();
}

void TForm1::ShowPage(int Page) {
  if (!FTiffFile)
    return;
  lodestar::TReportRows rows = FillTagRows(Page);
  const bool inputFileWrong = rows.InputFileWrong;
  ListView1Model->SetRows(std::move(rows));
  // A new page or base is read from its top, wherever the previous listing was scrolled to.
  ListView1->scrollToTop();
  // The rows built before the failure stay listed behind the box.
  if (inputFileWrong)
    ShowMessage(lodestar::InputFileWrongText);
}

lodestar::TReportRows TForm1::FillTagRows(int Page) {
  // Taken over before any row is read, so a failing page still counts as the current one.
  FCurrentPage = Page;
  return lodestar::BuildReportRows(*FTiffFile, Page, DisplayBase());
}

void TForm1::UpdateStatusPanels() {
  if (!FTiffFile)
    return;
  StatusBar1Panels[0]->setText(
      QString::fromUtf8(lodestar::FileNamePanelText(FTiffFile->FileName())));
  // The panel shows the path's end only; the whole path is a hover away.
  StatusBar1Panels[0]->setToolTip(
      QFile::decodeName(QByteArray::fromStdString(FTiffFile->FileName())));
  StatusBar1Panels[1]->setText(
      QString::fromUtf8(lodestar::PagePanelText(FCurrentPage, FTiffFile->PageCount())));
  // May raise: panel 2 then keeps its text while panels 0 and 1 are already up to date.
  const std::string separator = QLocale().decimalPoint().toStdString();
  StatusBar1Panels[2]->setText(
      QString::fromUtf8(lodestar::PageSizePanelText(*FTiffFile, FCurrentPage, separator)));
}

void TForm1::ActionNextPageExecute() {
  // The enable rule keeps the page within bounds.
  ShowPage(FCurrentPage + 1);
  UpdateStatusPanels();
}

void TForm1::ActionNextPageUpdate() {
  const bool enabled =
      FTiffFile && FTiffFile->PageCount() > 1 && FTiffFile->PageCount() > FCurrentPage;
  SetActionState(ActionNextPage, enabled,
                 enabled ? ImageIndex::NextPage : ImageIndex::NextPageDisabled);
}

void TForm1::ActionPrevPageExecute() {
  ShowPage(FCurrentPage - 1);
  UpdateStatusPanels();
}

void TForm1::ActionPrevPageUpdate() {
  const bool enabled = FTiffFile && FTiffFile->PageCount() > 1 && FCurrentPage > 1;
  SetActionState(ActionPrevPage, enabled,
                 enabled ? ImageIndex::PrevPage : ImageIndex::PrevPageDisabled);
}

void TForm1::tb10Click() {
  if (tb10->Down())
    return;
  tb10->SetDown(true);
  tb16->SetDown(false);
  // None of the status texts depends on the base.
  if (FTiffFile)
    ShowPage(FCurrentPage);
}

void TForm1::tb16Click() {
  if (tb16->Down())
    return;
  tb16->SetDown(true);
  tb10->SetDown(false);
  if (FTiffFile)
    ShowPage(FCurrentPage);
}

lodestar::TDisplayBase TForm1::DisplayBase() const {
  return tb16->Down() ? lodestar::TDisplayBase::Hex : lodestar::TDisplayBase::Dec;
}

const lodestar::TReportRows& TForm1::ListedRows() const {
  return ListView1Model->Rows();
}
