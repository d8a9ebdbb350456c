// The print and preview actions of the main window, printing to PDF through scripted dialogs; the
// layout itself is checked on the recording sheet in tests/viewer.
#include "AppTestSupport.h"
#include "PdfInfo.h"
#include "RunProgram.h"

namespace lodestar::test {
namespace {

class Print : public AppTest {
protected:
  // Prints through the confirmed dialog and returns the sheets' text.
  std::string PrintedText() {
    Seams->PrintPdf = QString::fromStdString(Dir.File("printed.pdf"));
    Step(Form->ActionPrint);
    return RunProgram("pdftotext", {Dir.File("printed.pdf"), "-"}).Out;
  }
};

// Three landscape copies were picked in the dialog; one portrait job of the listed rows, at their
// widths on screen, is printed. The preview draws the same.
TEST_F(Print, CancelPrintsNothingAndPrintAndPreviewShowTheListedRowsAtTheirWidths) {
  Start();
  const std::string path = A4(1);
  OpenByDialog(path);
  Step(Form->ActionPrint); // no file named: the dialog is cancelled
  EXPECT_EQ(Seams->PrintDialogs, 1);
  EXPECT_FALSE(std::filesystem::exists(Dir.File("printed.pdf")));
  const std::string text = PrintedText();
  EXPECT_TRUE(Seams->Boxes.empty());
  const std::string size = PdfInfo(Dir.File("printed.pdf"), "Page size");
  EXPECT_LT(std::stod(size), std::stod(size.substr(size.find('x') + 1))) << size;
  EXPECT_NE(text.find("File: " + path), std::string::npos) << text;
  EXPECT_NE(text.find("ImageWidth"), std::string::npos) << text;
  Seams->PreviewPdf = QString::fromStdString(Dir.File("preview.pdf"));
  Step(Form->ActionPrintPreview);
  EXPECT_EQ(RunProgram("pdftotext", {Dir.File("preview.pdf"), "-"}).Out, text);
  Form->ListView1->header()->resizeSection(4, 480);
  const TPrintJob job = Form->PrintJob();
  EXPECT_EQ(job.ColumnWidths.at(4), 480);
  EXPECT_EQ(job.Rows, Rows());
}

TEST_F(Print, HeaderNamesTheListedFileAfterAFailedOpenAndABatchRunAndFailuresAreReported) {
  Start();
  const std::string listed = A4(2);
  OpenByDialog(listed);
  const std::string broken = Dir.File("broken.tif");
  std::ofstream(broken) << "not a TIFF file";
  OpenByDialog(broken);
  ASSERT_EQ(Form->TiffFile()->FileName(), broken);
  std::string text = PrintedText();
  EXPECT_NE(text.find("File: " + listed), std::string::npos) << text;
  EXPECT_EQ(text.find(broken), std::string::npos);

  TTempDir other;
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 100)}}).Save(other.File("visited.tif"));
  Form->edtStartDir->setText(QString::fromStdString(other.Path().string()));
  Tick(0);
  Update();
  Form->BitBtnStart->click();
  Update();
  ASSERT_EQ(Form->TiffFile()->FileName(), other.File("visited.tif"));
  text = PrintedText();
  EXPECT_NE(text.find("File: " + listed), std::string::npos) << text;

  // A printer that cannot start the job reaches the error report.
  Seams->Boxes.clear();
  Seams->PrintPdf = QString::fromStdString(Dir.File("missing/printed.pdf"));
  Step(Form->ActionPrint);
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{"error: The printer could not start the job."});
  EXPECT_FALSE(std::filesystem::exists(Dir.File("missing")));
}

} // namespace
} // namespace lodestar::test
