// Keys as the platform sends them, the window's place on small screens, and the real file
// dialogs.
#include "AppTestSupport.h"
#include "TQtUiSeams.h"
#include "WindowPlacement.h"

namespace lodestar::test {
namespace {

using Composition = AppTest;

// Shows the window and makes it the active one, as a user's click would.
void Activate(QWidget* window) {
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// Page Down and Page Up turn pages on the Info tab only; Tab leaves the results pane and its
// records.
TEST_F(Composition, PageKeysTurnPagesOnTheInfoTabOnlyAndTabLeavesTheResultsPane) {
  Start();
  OpenByDialog(A4(3));
  Activate(Form.get());
  EXPECT_EQ(QApplication::focusWidget(), Form->ListView1); // from the start
  for (int key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp}) {
    QTest::keyClick(Form->ListView1, Qt::Key(key));
    Update();
  }
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  Form->PageControl1->setCurrentIndex(1);
  Form->RedtResults->setPlainText("\"a\",\"1\"");
  Form->RedtResults->setFocus();
  QTest::keyClick(Form->RedtResults, Qt::Key_PageDown);
  QTest::keyClick(Form->listboxTags, Qt::Key_PageUp);
  EXPECT_EQ(Panel(1), "Page 2 of 3");
  Form->RedtResults->setFocus();
  QTest::keyClick(Form->RedtResults, Qt::Key_Tab);
  EXPECT_EQ(Form->RedtResults->toPlainText(), "\"a\",\"1\"");
  EXPECT_NE(QApplication::focusWidget(), Form->RedtResults);
  Form->RedtResults->setFocus(); // typed on purpose, the pane takes text
  Form->RedtResults->moveCursor(QTextCursor::End);
  QTest::keyClicks(Form->RedtResults, "x");
  EXPECT_EQ(Form->RedtResults->toPlainText(), "\"a\",\"1\"x");
}

// --- Place on the screen ---

TEST(PlaceInside, KeepsWhatFitsAndMovesAndShrinksTheRestIntoTheFreeArea) {
  const QRect screen(0, 0, 1366, 768), want(452, 187, 843, 668);
  const std::tuple<const char*, QRect, QRect, QRect> cases[] = {
      {"fits", QRect(452, 187, 843, 500), screen, QRect(452, 187, 843, 500)},
      {"too low", want, screen, QRect(452, 100, 843, 668)},
      {"too wide and low", want, QRect(0, 0, 683, 384), QRect(0, 0, 683, 384)},
      {"under a top panel", QRect(452, 0, 843, 668), QRect(0, 24, 1366, 744),
       QRect(452, 24, 843, 668)},
      {"second screen", want, QRect(1366, 0, 1920, 1080), QRect(1366, 187, 843, 668)},
      {"no screen known", want, QRect(), want},
  };
  for (const auto& [name, wanted, available, placed] : cases)
    EXPECT_EQ(PlaceInside(wanted, available), placed) << name;
}

TEST_F(Composition, WindowOpensInsideASmallScreen) {
  Start(); // the offscreen platform's screen is smaller than the design's window
  Form->show();
  QApplication::processEvents();
  const QRect available = Form->screen()->availableGeometry();
  ASSERT_LT(available.width(), 843);
  EXPECT_TRUE(available.contains(Form->frameGeometry()));
}

// --- The real boxes and dialogs ---

// Runs show, which opens a modal box or dialog, and hands that to inspect before closing it.
template <typename T>
void Inspect(const std::function<void()>& show, const std::function<void(T*)>& inspect) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
    ASSERT_NE(modal, nullptr);
    seen = true;
    inspect(modal);
    modal->reject();
  });
  show();
  EXPECT_TRUE(seen);
}

TEST(QtSeams, SaveDialogAsksBeforeReplacingAndTheDirectoryDialogCanCreateFolders) {
  TQtUiSeams seams;
  Inspect<QFileDialog>([&] { EXPECT_EQ(seams.GetSaveFileName(nullptr), std::nullopt); },
                       [](QFileDialog* d) {
                         EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
                         EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
                       });
  Inspect<QFileDialog>(
      [&] { EXPECT_EQ(seams.GetExistingDirectory(nullptr, QDir::homePath()), std::nullopt); },
      [](QFileDialog* d) {
        EXPECT_EQ(d->fileMode(), QFileDialog::Directory);
        EXPECT_FALSE(d->testOption(QFileDialog::ReadOnly));
        EXPECT_EQ(d->directory().absolutePath(), QDir::homePath());
        auto* create = d->findChild<QToolButton*>("newFolderButton"); // Qt's "Create New Folder"
        ASSERT_NE(create, nullptr);
        EXPECT_TRUE(create->isEnabled());
      });
}

} // namespace
} // namespace lodestar::test
