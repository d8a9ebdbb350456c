// Printing and the outside launchers of the Info tab. The enable rules work; the operations come
// with the printed report and the launchers.
#include "ImageList1.h"
#include "TForm1.h"
#include "cLodestar.h"

#include <QAction>

void TForm1::ActionPrintUpdate() {
  SetActionState(ActionPrint, FTiffFile != nullptr, ImageIndex::Print);
}

void TForm1::ActionLaunchViewerUpdate() {
  SetActionState(ActionLaunchViewer, FTiffFile != nullptr, ImageIndex::Viewer);
}

// TODO: the printed report of the listed rows.
void TForm1::ActionPrintExecute() {}

// TODO: the shell's "open" of FTiffFile->FileName() through FSeams->ShellOpen.
void TForm1::ActionLaunchViewerExecute() {}

// TODO: the desktop's calculator.
void TForm1::ActionCalculatorExecute() {}

// TODO: the home page through FSeams->ShellOpen.
void TForm1::ActionStartHomepageExecute() {}

// TODO: the support mail through FSeams->ShellOpen.
void TForm1::Emailsupport1Click() {}
