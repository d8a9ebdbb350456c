// The ascii tag editor's road from a double-click to the file: the row's cells say what to write
// where (TAsciiEdit), the editor window takes the new text, and the listing is read again.
#include "CodePage.h"
#include "ReportModel.h"
#include "TAsciiEdit.h"
#include "TForm1.h"
#include "editdlg.h"

#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>
#include <variant>

void TForm1::ListView1DblClick() {
  const QModelIndexList selected = ListView1->selectionModel()->selectedRows();
  if (selected.isEmpty())
    return;
  const lodestar::TReportRows& listed = ListedRows();
  const auto index = static_cast<std::size_t>(selected.first().row());
  if (index >= listed.Rows.size())
    return;

  // The rows' own file and page, not FTiffFile's: after a failed open or a batch run the file
  // object holds another file, and these positions belong to the listed one.
  const std::string path = listed.FilePath;
  const int page = listed.Page;
  auto target = lodestar::AsciiTargetOfRow(listed.Rows[index], path, DisplayBase());
  if (const auto* refused = std::get_if<lodestar::TEditResult>(&target)) {
    if (!refused->Message.empty())
      ShowMessage(refused->Message);
    return;
  }
  const lodestar::TAsciiTarget& value = std::get<lodestar::TAsciiTarget>(target);

  TEditForm form(this, [this] { Guard([this] { ActionStartHomepageExecute(); }); });
  form.SetValue(QString::fromStdU16String(lodestar::DecodeNarrow(value.ListedBytes)), value.Count);
  if (FSeams->RunModal(form) != QDialog::Accepted || !form.Edit1->isModified())
    return;

  const std::string bytes =
      lodestar::TextToWrite(form.Edit1->text().toStdU16String(), value.LengthToWrite());
  const lodestar::TEditResult result = lodestar::WriteAsciiValue(value, bytes);
  if (result.Outcome == lodestar::TEditOutcome::SavingFailed)
    FSeams->ShowErrorReport(this, QString::fromUtf8(result.Message));
  else if (!result.Message.empty())
    ShowMessage(result.Message);
  if (result.Reload())
    OpenTiffFile(path, page);
}
