// The Batch tab's operations of the main window. The controls, actions and bindings are composed
// in src/app (TForm1ComposeBatch.cpp); every handler below is already bound and is called with
// errors going to the default error report. The update handlers run at every idle moment through
// TForm1::UpdateActions: they only set their action's enabled state (the bound buttons follow).
//
// TODO: fill in the search list, the batch run and saving the results.
#include "TForm1.h"

// Search list: listboxTags, edtTagNumber, edtTagDescription.
void TForm1::ActionAddNewTagExecute() {}
void TForm1::ActionAddNewTagUpdate() {}
void TForm1::ActionDeleteTagExecute() {}
void TForm1::ActionDeleteTagUpdate() {}
void TForm1::ActionSortTagsExecute() {}
void TForm1::ActionSortTagsUpdate() {}
void TForm1::ActionMoveUpExecute() {}
void TForm1::ActionMoveUpUpdate() {}
void TForm1::ActionMoveDownExecute() {}
void TForm1::ActionMoveDownUpdate() {}
void TForm1::btnResetClick() {}
// Called for every character typed into edtTagNumber; setting Key to QChar() discards it.
void TForm1::edtTagNumberKeyPress(QChar& Key) {
  (void)Key;
}

// The run: edtStartDir, the options, RedtResults, edtCounter, edtPages, FStopRetrieve.
void TForm1::ActionStartRetrieveExecute() {}
void TForm1::ActionStartRetrieveUpdate() {}
void TForm1::btnStopClick() {}
void TForm1::spdBtnStartingDirClick() {}

// Saving: FSeams->GetSaveFileName.
void TForm1::ActionSaveResultsExecute() {}
void TForm1::ActionSaveResultsUpdate() {}
