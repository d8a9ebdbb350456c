#pragma once

#include "ReportRows.h"
#include "TSearchList.h"
#include "UiSeams.h"

#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class QTreeView;
class TDownButton;
class TReportModel;

namespace lodestar {
class TTiffFile;
}

// The main window. Its handlers live with their subsystem: composition, bindings, start-up and
// drops in src/app, the Info tab in src/viewer, the Batch tab in src/batch. The controls are
// public so that tests can drive and read the window as a user would.
class TForm1 : public QMainWindow {
public:
  // Composes the window and runs FormCreate with the command-line arguments (without the
  // program's own name). A null seams object means Qt's own dialogs and message boxes.
  explicit TForm1(const QStringList& arguments = {}, std::unique_ptr<TUiSeams> seams = nullptr,
                  QWidget* parent = nullptr);
  ~TForm1() override;

  // --- Start-up, idle-time update and error report (src/app) ---
  void FormCreate(const QStringList& arguments);
  // Runs every update handler; called whenever the application is about to wait for events.
  void UpdateActions();
  // Runs a handler; an error escaping it goes to the default error report.
  void Guard(const std::function<void()>& handler);
  void ShowErrorReport(const std::string& message);
  void ShowMessage(const std::string& text);
  void OpenDroppedFile(const QString& path);
  // The index into ImageList1 the action shows now.
  static int ImageIndex(const QAction* action);

  // --- Info tab (src/viewer) ---
  void Open1Click();
  // IgnoreMissing: a name that names no file (missing, a folder) leaves everything as it was,
  // without a message; otherwise it is listed as a file without pages.
  void OpenTiffFile(const std::string& FileName, int Page, bool IgnoreMissing = false);
  void ShowPage(int Page);
  lodestar::TReportRows FillTagRows(int Page);
  void UpdateStatusPanels();
  void ActionNextPageExecute();
  void ActionNextPageUpdate();
  void ActionPrevPageExecute();
  void ActionPrevPageUpdate();
  void tb10Click();
  void tb16Click();
  lodestar::TDisplayBase DisplayBase() const;
  // The rows the listing shows, with the full path they were built from.
  const lodestar::TReportRows& ListedRows() const;
  // TODO: the ascii tag editor opens from here.
  void ListView1DblClick();

  // Printing and the outside launchers (src/viewer); composed, not working yet.
  void ActionPrintExecute();
  void ActionPrintUpdate();
  void ActionLaunchViewerExecute();
  void ActionLaunchViewerUpdate();
  void ActionCalculatorExecute();
  void ActionStartHomepageExecute();
  void Emailsupport1Click();
  // The about box (src/app); not working yet.
  void Aboutlodestar1Click();

  // --- Batch tab (src/batch/TForm1Batch.cpp) ---
  void ActionAddNewTagExecute();
  void ActionAddNewTagUpdate();
  void ActionDeleteTagExecute();
  void ActionDeleteTagUpdate();
  void ActionSortTagsExecute();
  void ActionSortTagsUpdate();
  void ActionMoveUpExecute();
  void ActionMoveUpUpdate();
  void ActionMoveDownExecute();
  void ActionMoveDownUpdate();
  void btnResetClick();
  // Set Key to a null character to discard the typed character.
  void edtTagNumberKeyPress(QChar& Key);
  void ActionStartRetrieveExecute();
  void ActionStartRetrieveUpdate();
  void btnStopClick();
  void spdBtnStartingDirClick();
  void ActionSaveResultsExecute();
  void ActionSaveResultsUpdate();
  void DisableBatchControls();
  void EnableBatchControls();
  // Appends records to the pane as its new last lines, one a line.
  void AddResultLine(const std::string& Line);

  // --- State ---
  std::unique_ptr<lodestar::TTiffFile> FTiffFile;
  int FCurrentPage = 0;
  bool FStopRetrieve = false;
  // True from Start until the run has finished; the batch enable rules wait meanwhile.
  bool FRetrieving = false;
  // The search list listboxTags shows; ticks and selection made in the widget flow back here.
  lodestar::TSearchList FSearchList;
  std::unique_ptr<TUiSeams> FSeams;

  QList<QIcon> ImageList1;

  // --- Actions (ActionList1) ---
  QAction* ActionNextPage = nullptr;
  QAction* ActionPrevPage = nullptr;
  QAction* ActionStartHomepage = nullptr;
  QAction* ActionCalculator = nullptr;
  QAction* ActionLaunchViewer = nullptr;
  QAction* ActionPrint = nullptr;
  QAction* ActionMoveUp = nullptr;
  QAction* ActionMoveDown = nullptr;
  QAction* ActionAddNewTag = nullptr;
  QAction* ActionDeleteTag = nullptr;
  QAction* ActionSortTags = nullptr;
  QAction* ActionStartRetrieve = nullptr;
  QAction* ActionSaveResults = nullptr;
  std::vector<QAction*> ActionList1;

  // --- Menu (MainMenu1). A menu item bound to an action is that action itself. ---
  QMenuBar* MainMenu1 = nullptr;
  QMenu* File1 = nullptr;
  QMenu* Options1 = nullptr;
  QMenu* About1 = nullptr;
  QAction* Open1 = nullptr;
  QAction* Saveas1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* NextPage1 = nullptr;
  QAction* PreviousPage1 = nullptr;
  QAction* viewimage1 = nullptr;
  QAction* Exportcurrentimagetofile1 = nullptr;
  QAction* Combinetomultipage1 = nullptr;
  QAction* Splitmultipagefile1 = nullptr;
  QAction* Batchsplit1 = nullptr;
  QAction* Aboutlodestar1 = nullptr;
  QAction* Emailsupport1 = nullptr;

  // --- Toolbar ---
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton1 = nullptr;
  QToolButton* tbPrevious = nullptr;
  QToolButton* tbNext = nullptr;
  QToolButton* tbLauchImageViewer = nullptr;
  TDownButton* tb10 = nullptr;
  TDownButton* tb16 = nullptr;
  QToolButton* tbtnPrint = nullptr;
  QToolButton* tbCalc = nullptr;
  QToolButton* tnInternet = nullptr;

  // --- Status bar: panels 0, 1 and 2 ---
  QStatusBar* StatusBar1 = nullptr;
  std::array<QLabel*, 3> StatusBar1Panels{};

  // --- Tabs ---
  QTabWidget* PageControl1 = nullptr;
  QWidget* TabSheetInfo = nullptr;
  QWidget* TabSheetBatch = nullptr;

  // --- Info tab ---
  QTreeView* ListView1 = nullptr;
  TReportModel* ListView1Model = nullptr;

  // --- Batch tab ---
  QLabel* Label10 = nullptr;
  QLabel* Label1 = nullptr;
  QLineEdit* edtStartDir = nullptr;
  QToolButton* spdBtnStartingDir = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QListWidget* listboxTags = nullptr;
  QToolButton* spBtnMoveTagUp = nullptr;
  QToolButton* spBtnMoveTagDown = nullptr;
  QPushButton* BitBtnAddTagEntry = nullptr;
  QPushButton* BitBtnDeleteTagEntry = nullptr;
  QToolButton* spbtnSort = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* edtTagNumber = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* edtTagDescription = nullptr;
  QLabel* Label8 = nullptr;
  QComboBox* cmbbxSeperator = nullptr;
  QCheckBox* chkbxSplitFileNameAndPath = nullptr;
  QPushButton* btnReset = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QGroupBox* GroupBoxExportOptions = nullptr;
  QCheckBox* cbAddDescription = nullptr;
  QCheckBox* cbIncludeRoot = nullptr;
  QCheckBox* cbIncludeSubDirectories = nullptr;
  QCheckBox* cbTrimValue = nullptr;
  QCheckBox* cbAllPages = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* edtCounter = nullptr;
  QLabel* Label11 = nullptr;
  QLineEdit* edtPages = nullptr;
  QPushButton* BitBtnStart = nullptr;
  QPushButton* btnStop = nullptr;
  QPushButton* BitBtnClose = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* lblResult = nullptr;
  QLabel* Label3 = nullptr;
  QPlainTextEdit* RedtResults = nullptr;
  QLabel* StatusBar2 = nullptr;

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  QAction* MakeAction(const QString& caption, const QString& tip, int imageIndex);
  void ComposeActions();
  void ComposeMenu();
  void ComposeToolBar();
  void ComposeStatusBar();
  void ComposeInfoTab();
  void ComposeBatchTab();
  void ComposeGroupBox1();
  void ComposeExportOptions();
  void ComposeGroupBox2();
  void BindActions();
  int ColumnWidth(int column) const;
  void BindBatchControls();
  // The search list's and the results pane's own wiring (src/batch).
  void BindBatchTab();
  void ShowSearchList();
  void PlaceBatchResults();
  // Connects a handler so that errors escaping it reach the default error report.
  void Bind(QAction* action, void (TForm1::*handler)());
  void SetActionState(QAction* action, bool enabled, int imageIndex);

  bool FOuterSizeSet = false;
  bool FUpdatingActions = false;
};
