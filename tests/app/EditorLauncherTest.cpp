// The ascii editor in the window, with the dialogs and boxes answered by script; the real shell
// seam that launches the viewer, against a stand-in xdg-open.
#include "AppTestSupport.h"
#include "Launchers.h"
#include "StatusPanels.h"
#include "TAsciiEdit.h"
#include "TQtUiSeams.h"
#include "editdlg.h"

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
const std::string Nul(1, '\0');
constexpr int SoftwareRow = 22; // of an A4 page

class Editor : public AppTest {
protected:
  // Double-clicks a row of the listing as the user does.
  void DoubleClick(int row) {
    const QModelIndex index = Form->ListView1Model->index(row, 1);
    Form->ListView1->scrollTo(index);
    const QPoint at = Form->ListView1->visualRect(index).center();
    QTest::mouseClick(Form->ListView1->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(Form->ListView1->viewport(), Qt::LeftButton, {}, at);
    Update();
  }
  // The editor's next showing: replaces the text by typing and closes with result.
  void Type(const QString& text, int result = QDialog::Accepted) {
    Seams->Dialogs.push_back([=](QDialog& dialog) {
      auto& editor = dynamic_cast<TEditForm&>(dialog);
      editor.Edit1->selectAll();
      QTest::keyClicks(editor.Edit1, text);
      return result;
    });
  }
  // bytes with put written over them at the value position of the listing's row.
  std::string With(std::string bytes, int row, const std::string& put) const {
    return bytes.replace(std::stoul(Cell(row, 7)), put.size(), put);
  }
};

// After a failed open the listed file is written on the listed page, which is listed again;
// Cancel writes nothing, and a file changed since it was listed is refused and listed again.
TEST_F(Editor, WritesOnlyTheListedFileAsItWasListed) {
  const std::string path = A4(3), other = Dir.File("other.tif");
  Start();
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  OpenByDialog(path);
  Step(Form->ActionNextPage);
  Step(Form->ActionNextPage);
  std::ofstream(other) << "GIF89a, not a TIFF file at all";
  OpenByDialog(other);
  ASSERT_EQ(Form->TiffFile()->FileName(), other);
  const std::string written = With(FileBytes(path), SoftwareRow, "Lode");
  Seams->Boxes.clear();
  Type("x", QDialog::Rejected);
  DoubleClick(SoftwareRow);
  EXPECT_EQ(Form->TiffFile()->FileName(), other);
  Type("Lodestar");
  DoubleClick(SoftwareRow);
  EXPECT_EQ(FileBytes(path), written);
  EXPECT_EQ(FileBytes(other), "GIF89a, not a TIFF file at all");
  EXPECT_EQ(Form->TiffFile()->FileName(), path);
  EXPECT_EQ(Cell(2, 4) + " " + Panel(1), "3 Page 3 of 3");
  EXPECT_EQ(Cell(SoftwareRow, 4) + "|" + Cell(SoftwareRow, 5) + "|" + Cell(SoftwareRow, 6),
            "Lode|Ascii|5");
  EXPECT_TRUE(Seams->Boxes.empty());
  const std::string changed = With(written, SoftwareRow, "Scum");
  std::ofstream(path, std::ios::binary) << changed;
  Type("x");
  DoubleClick(SoftwareRow);
  EXPECT_EQ(Seams->Boxes, std::vector<std::string>{std::string("message: ") + FileChangedText});
  EXPECT_EQ(FileBytes(path), changed);
  EXPECT_EQ(Rows()[SoftwareRow].SubItems[3], "Scum" + Nul); // listed again
}

// The real seam against a stand-in xdg-open on the path: one argument, whatever the name holds,
// and its exit status as the code (-1: no failure).
TEST(ShellSeam, XdgOpenGetsOneArgumentAndItsExitStatusBecomesTheCode) {
  TTempDir dir;
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(dir.Path().string()));
  const std::string args = dir.File("args"), done = dir.File("done"), xdg = dir.File("xdg-open");
  const QString target = QString::fromUtf8("/tmp/a b \"q\" $(touch x); 'c'.tif");
  const auto open = [&] {
    int code = -1;
    bool failed = false;
    TQtUiSeams().ShellOpen(target, [&](int c) {
      code = c;
      failed = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return failed || fs::exists(done); }, 10000));
    QTest::qWait(100);
    fs::remove(done);
    return code;
  };
  for (const auto& [exit, code] :
       std::vector<std::pair<int, int>>{{0, -1}, {2, 2}, {3, 31}, {4, 27}, {1, -1}}) {
    std::ofstream(xdg) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" >'" << args << "'\n: >'" << done
                       << "'\nexit " << exit << "\n";
    fs::permissions(xdg, fs::perms::owner_all);
    EXPECT_EQ(open(), code) << exit;
    EXPECT_EQ(FileBytes(args), "1|" + target.toStdString());
  }
  fs::remove(xdg);
  EXPECT_EQ(open(), XdgOpenMissingCode);
  qputenv("PATH", path);
}

} // namespace
} // namespace lodestar::test
