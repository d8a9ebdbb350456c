#pragma once

#include "PrintLayout.h"
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

class QAbstractButton;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListView;
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
class TFindingsModel;
class TReportModel;
class TSearchListModel;

namespace lodestar {
class TTiffFile;
struct TRecordOptions;
struct TRunOptions;
} // namespace lodestar

// The main window. Its handlers live with their subsystem: composition, bindings, start-up and
// drops in src/app, the Info tab in src/viewer, the Batch tab in src/batch. The controls are
// public so that tests can drive and read the window as a user would; its state is its own.
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
  // A problem the operation reports itself, in a box with the error icon; the text as given.
  void ShowErrorMessage(const std::string& text);
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
  // The open file object (FTiffFile), none before the first open, and the listed page.
  const lodestar::TTiffFile* TiffFile() const { return FTiffFile.get(); }
  int CurrentPage() const { return FCurrentPage; }
  // The message boxes, dialogs and launches of the window and of the dialogs it owns.
  TUiSeams& Seams() const { return *FSeams; }
  // The ascii tag editor on the selected row (src/viewer/TForm1Edit.cpp).
  void ListView1DblClick();

  // The printed report (src/viewer/TForm1Print.cpp). The preview shares Print's enable rule.
  void ActionPrintExecute();
  void ActionPrintUpdate();
  void ActionPrintPreviewExecute();
  // The listed rows as the report prints them, with the list's current column widths.
  lodestar::TPrintJob PrintJob() const;
  // The outside launchers (src/viewer/TForm1Launch.cpp).
  void ActionLaunchViewerExecute();
  void ActionLaunchViewerUpdate();
  void ActionCalculatorExecute();
  void ActionStartHomepageExecute();
  void Emailsupport1Click();
  // The about box (src/app).
  void Aboutlodestar1Click();

  // The findings panel under the listing (src/viewer/TForm1Findings.cpp): the open file's check,
  // and a finding selecting the listing row of its entry, on its page.
  void CheckOpenFile();
  void SelectFinding(int row);

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
  // Holds (false) or frees (true) the controls a run must not be disturbed by; Stop the other way.
  void SetBatchControlsEnabled(bool enabled);

  // --- What a batch run reads from and writes to the tab (src/batch, TForm1BatchHost) ---
  void BeginBatchRun();
  void EndBatchRun();
  void ReadBatchRunOptions(lodestar::TRunOptions& options) const;
  void ReadBatchRecordOptions(lodestar::TRecordOptions& options) const;
  bool BatchStopRequested() const { return FStopRetrieve; }
  // Files a batch run reads ahead of the one the tab shows; 1 reads one at a time.
  void SetBatchReadAhead(int files) { FBatchReadAhead = files; }
  void RequestBatchStop() { FStopRetrieve = true; }
  // Appends records to the pane as its new last lines, one a line.
  void AddResultLine(const std::string& Line);
  std::string BatchCounterText() const;
  std::string BatchPagesText() const;
  void ShowBatchCounters(const std::string& files, const std::string& pages);
  // The full path of the file the run has just read, in Label3 and the page panel.
  void ShowFileRead(const std::string& fullPath);
  void SetBatchStatusText(const std::string& text);
  // The run's file object takes the window's slot; none frees it.
  void SetTiffFile(std::unique_ptr<lodestar::TTiffFile> file);

  // The pictures of the toolbar, the menus and the actions; see ImageIndex.
  QList<QIcon> ImageList1;

  // --- Actions (ActionList1) ---
  QAction* ActionNextPage = nullptr;
  QAction* ActionPrevPage = nullptr;
  QAction* ActionStartHomepage = nullptr;
  QAction* ActionCalculator = nullptr;
  QAction* ActionLaunchViewer = nullptr;
  QAction* ActionPrint = nullptr;
  QAction* ActionPrintPreview = nullptr;
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
  QMenu* File1 = nullptr;    // "File"
  QMenu* Options1 = nullptr; // "Options"
  QMenu* About1 = nullptr;   // "About"
  QAction* Open1 = nullptr;
  QAction* Saveas1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* NextPage1 = nullptr;
  QAction* PreviousPage1 = nullptr;
  QAction* viewimage1 = nullptr; // "Launch image viewer"
  QAction* Exportcurrentimagetofile1 = nullptr;
  QAction* Combinetomultipage1 = nullptr;
  QAction* Splitmultipagefile1 = nullptr;
  QAction* Batchsplit1 = nullptr;
  QAction* Aboutlodestar1 = nullptr;
  QAction* Emailsupport1 = nullptr;

  // --- Toolbar ---
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton1 = nullptr; // open a file
  QToolButton* tbPrevious = nullptr;
  QToolButton* tbNext = nullptr;
  QToolButton* tbLauchImageViewer = nullptr;
  TDownButton* tb10 = nullptr; // decimal display base, pressed at start
  TDownButton* tb16 = nullptr; // hexadecimal display base
  QToolButton* tbtnPrint = nullptr;
  QToolButton* tbCalc = nullptr;     // the desktop's calculator
  QToolButton* tnInternet = nullptr; // the web page

  // --- Status bar: panels 0 (file name), 1 (page) and 2 (page size) ---
  QStatusBar* StatusBar1 = nullptr;
  std::array<QLabel*, 3> StatusBar1Panels{};

  // --- Tabs ---
  QTabWidget* PageControl1 = nullptr; // the two tabs, on the left edge
  QWidget* TabSheetInfo = nullptr;
  QWidget* TabSheetBatch = nullptr;

  // --- Info tab ---
  QTreeView* ListView1 = nullptr; // the listing of the current page
  TReportModel* ListView1Model = nullptr;
  QTreeView* FindingsView = nullptr; // the open file's findings, under the listing
  TFindingsModel* FindingsModel = nullptr;
  QLabel* StatusBarVerdict = nullptr; // the open file's verdict, at the status bar's right
  QMenu* View1 = nullptr;             // "View"
  QAction* ActionShowFindings = nullptr;

  // --- Batch tab ---
  QLabel* Label10 = nullptr; // the tab's bold heading
  QLabel* Label1 = nullptr;  // "Starting directory"
  QLineEdit* edtStartDir = nullptr;
  QToolButton* spdBtnStartingDir = nullptr; // opens the directory dialog
  QGroupBox* GroupBox1 = nullptr;           // "Tags Searchlist"
  QListView* listboxTags = nullptr;         // the search list, a check list
  TSearchListModel* listboxTagsModel = nullptr;
  QToolButton* spBtnMoveTagUp = nullptr;
  QToolButton* spBtnMoveTagDown = nullptr;
  QPushButton* BitBtnAddTagEntry = nullptr;
  QPushButton* BitBtnDeleteTagEntry = nullptr;
  QToolButton* spbtnSort = nullptr;
  QLabel* Label5 = nullptr; // "Tag nr"
  QLineEdit* edtTagNumber = nullptr;
  QLabel* Label6 = nullptr; // "Description"
  QLineEdit* edtTagDescription = nullptr;
  QLabel* Label8 = nullptr; // "Seperator"
  QComboBox* cmbbxSeperator = nullptr;
  QCheckBox* chkbxSplitFileNameAndPath = nullptr;
  QPushButton* btnReset = nullptr;
  QToolButton* SpeedButton2 = nullptr; // saves the results pane
  QGroupBox* GroupBoxExportOptions = nullptr;
  QCheckBox* cbAddDescription = nullptr;
  QCheckBox* cbIncludeRoot = nullptr;
  QCheckBox* cbIncludeSubDirectories = nullptr;
  QCheckBox* cbTrimValue = nullptr;
  QCheckBox* cbAllPages = nullptr;
  QCheckBox* cbCheckFiles = nullptr; // "Check files": the verdict and finding count per record
  QGroupBox* GroupBox2 = nullptr;  // the counters and the run's buttons, no caption
  QLabel* Label2 = nullptr;        // "Counter"
  QLineEdit* edtCounter = nullptr; // files read by the last run
  QLabel* Label11 = nullptr;       // "Pages"
  QLineEdit* edtPages = nullptr;   // pages read, counted on over runs
  QPushButton* BitBtnStart = nullptr;
  QPushButton* btnStop = nullptr;
  QPushButton* BitBtnClose = nullptr;    // closes the window
  QLabel* Label4 = nullptr;              // the maker's notice
  QLabel* lblResult = nullptr;           // "Result:"
  QLabel* Label3 = nullptr;              // the path of the file the run has just read
  QPlainTextEdit* RedtResults = nullptr; // the records of the run
  QLabel* StatusBar2 = nullptr;          // the tab's own status line

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

private:
  QAction* MakeAction(const QString& caption, const QString& tip, int imageIndex);
  void ComposeActions();
  void ComposeMenu();
  void ComposeShortcuts();
  void ComposeToolBar();
  void ComposeStatusBar();
  void ComposeInfoTab();
  void ComposeFindingsPanel();
  void ComposeBatchTab();
  void ComposeGroupBox1();
  void ComposeExportOptions();
  void ComposeGroupBox2();
  void BindActions();
  // Keeps the design's place and size where they fit the screen, else moves and shrinks into it.
  void PlaceOnScreen();
  int ColumnWidth(int column) const;
  void BindBatchControls();
  // The search list's and the results pane's own wiring (src/batch).
  void BindBatchTab();
  void ShowSearchList();
  void PlaceBatchResults();
  // Connect a handler so that errors escaping it reach the default error report.
  void Bind(QAction* action, void (TForm1::*handler)());
  void Bind(QAbstractButton* button, void (TForm1::*handler)());
  void SetActionState(QAction* action, bool enabled, int imageIndex);

  // The status panels' widths in the design.
  static constexpr std::array<int, 3> StatusPanelWidths{200, 120, 280};

  // --- State ---
  std::unique_ptr<lodestar::TTiffFile> FTiffFile;
  int FCurrentPage = 0;
  bool FStopRetrieve = false;
  // True from Start until the run has finished; the batch enable rules wait meanwhile.
  bool FRetrieving = false;
  // Scans on network disks wait for the server on every open; as many files in flight as the
  // command's --jobs 16 hide that wait, and on a local disk the window's thread is left with
  // little but showing the records.
  int FBatchReadAhead = 16;
  // The search list listboxTags shows; ticks and selection made in the widget flow back here.
  lodestar::TSearchList FSearchList;
  std::unique_ptr<TUiSeams> FSeams;
  bool FUpdatingActions = false;
  bool FPlacedWhenShown = false;
};
