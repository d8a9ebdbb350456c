// The print action of the main window, printing to PDF through a scripted dialog.
#include "AppTestSupport.h"
#include "PdfInfo.h"
#include "RunProgram.h"

namespace lodestar::test {
namespace {

class Print : public AppTest {
protected:
  // Prints through the confirmed dialog (three landscape copies asked for) and returns the text.
  std::string PrintedText() {
    Seams->PrintPdf = QString::fromStdString(Dir.File("printed.pdf"));
    Step(Form->ActionPrint);
    return RunProgram("pdftotext", {Dir.File("printed.pdf"), "-"}).Out;
  }
};

// One portrait job of the listed file, whatever was loaded since: a file that failed to open, the
// last file of a batch run; a job that cannot start is reported.
TEST_F(Print, HeaderNamesTheListedFileAfterAFailedOpenAndABatchRunAndFailuresAreReported) {
  Start();
  const std::string listed = A4(2);
  OpenByDialog(listed);
  Step(Form->ActionPrint); // no file named: the dialog is cancelled
  EXPECT_FALSE(std::filesystem::exists(Dir.File("printed.pdf")));
  const std::string broken = Dir.File("broken.tif");
  std::ofstream(broken) << "not a TIFF file";
  OpenByDialog(broken);
  ASSERT_EQ(Form->TiffFile()->FileName(), broken);
  std::string text = PrintedText();
  EXPECT_NE(text.find("File: " + listed), std::string::npos) << text;
  EXPECT_EQ(text.find(broken), std::string::npos);
  const std::string size = PdfInfo(Dir.File("printed.pdf"), "Page size");
  EXPECT_LT(std::stod(size), std::stod(size.substr(size.find('x') + 1))) << size;

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

  Seams->Boxes.clear();
  Seams->PrintPdf = QString::fromStdString(Dir.File("missing/printed.pdf"));
  Step(Form->ActionPrint);
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{"error: The printer could not start the job."});
  EXPECT_FALSE(std::filesystem::exists(Dir.File("missing")));
}

} // namespace
} // namespace lodestar::test
