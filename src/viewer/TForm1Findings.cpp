// The Info tab's findings panel: the open file's check under the listing, a finding selecting
// its entry's row, the verdict in the status bar and the View menu's toggle.
#include "ReportModel.h"
#include "TChecker.h"
#include "TFileReader.h"
#include "TFindingsModel.h"
#include "TForm1.h"
#include "cLodestar.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTreeView>
#include <algorithm>

void TForm1::ComposeFindingsPanel() {
  FindingsView = new QTreeView(TabSheetInfo);
  FindingsModel = new TFindingsModel(FindingsView);
  FindingsView->setModel(FindingsModel);
  FindingsView->setRootIsDecorated(false);
  FindingsView->setItemsExpandable(false);
  FindingsView->setUniformRowHeights(true);
  FindingsView->setSelectionBehavior(QAbstractItemView::SelectRows);
  FindingsView->setSelectionMode(QAbstractItemView::SingleSelection);
  FindingsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FindingsView->header()->setStretchLastSection(true);
  FindingsView->setMaximumHeight(160);
  TabSheetInfo->layout()->addWidget(FindingsView);
  connect(FindingsView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { Guard([&] { SelectFinding(current.row()); }); });

  StatusBarVerdict = new QLabel(StatusBar1);
  // As wide as the longest verdict from the start, so the window's least size counts it before
  // any file is open, and the panels beside it give way rather than it.
  int verdictWidth = 0;
  for (const auto verdict : {lodestar::check::TVerdict::Valid, lodestar::check::TVerdict::NotValid,
                             lodestar::check::TVerdict::NotWellFormed})
    verdictWidth =
        std::max(verdictWidth, StatusBarVerdict->fontMetrics().horizontalAdvance(
                                   QString::fromLatin1(lodestar::check::VerdictText(verdict))));
  StatusBarVerdict->setMinimumWidth(verdictWidth + 8);
  StatusBar1->addPermanentWidget(StatusBarVerdict);

  // The menu holds the Sub-directories switch already; the findings' switch joins it.
  if (!View1) {
    View1 = new QMenu("&View", MainMenu1);
    MainMenu1->insertMenu(About1->menuAction(), View1);
  }
  ActionShowFindings = View1->addAction("&Findings");
  ActionShowFindings->setCheckable(true);
  ActionShowFindings->setChecked(true);
  connect(ActionShowFindings, &QAction::toggled, FindingsView, &QWidget::setVisible);
}

void TForm1::CheckOpenFile() {
  lodestar::check::TCheckResult result;
  try {
    lodestar::TFileReader source(FTiffFile->FileName());
    result = lodestar::check::TChecker::Check(*FTiffFile, source);
  } catch (const lodestar::ELodestarError&) {
    // The file went between its load and the check: no findings to show, no verdict.
    FindingsModel->SetResult({});
    StatusBarVerdict->clear();
    return;
  }
  const auto verdict = result.Verdict;
  FindingsModel->SetResult(std::move(result));
  StatusBarVerdict->setText(QString::fromLatin1(lodestar::check::VerdictText(verdict)));
}

void TForm1::SelectFinding(int row) {
  const lodestar::check::TFinding* finding = FindingsModel->Finding(row);
  if (!finding || !FTiffFile || finding->Page < 1 || finding->Page > FTiffFile->PageCount())
    return;
  if (finding->Page != FCurrentPage) {
    ShowPage(finding->Page);
    UpdateStatusPanels();
  }
  if (finding->Entry < 0)
    return;
  // The rows name their entry by directory (empty for the page's own) and index; with the
  // sub-directories hidden, a finding in one finds no row and shows its page.
  const std::string directory =
      finding->Directory.starts_with("page ") ? std::string() : finding->Directory;
  const auto& rows = ListedRows().Rows;
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].Entry && rows[i].Entry->Directory == directory &&
        rows[i].Entry->Index == finding->Entry) {
      const QModelIndex index = ListView1Model->index(static_cast<int>(i), 0);
      ListView1->setCurrentIndex(index);
      ListView1->scrollTo(index);
      return;
    }
}
