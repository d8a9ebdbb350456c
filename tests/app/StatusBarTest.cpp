// The status bar on a screen too small for the design's panels: the verdict stays whole and
// clear of the panels beside it.
#include "AppTestSupport.h"

namespace lodestar::test {
namespace {

using StatusBar = AppTest;

TEST_F(StatusBar, OnASmallScreenTheVerdictIsWholeAndOverlapsNoPanel) {
  Start(); // the offscreen platform's screen is smaller than the design's window
  OpenByDialog(A4(1));
  Form->show();
  QApplication::processEvents();
  const QLabel* verdict = Form->StatusBarVerdict;
  ASSERT_FALSE(verdict->text().isEmpty());
  EXPECT_GE(verdict->width(), verdict->fontMetrics().horizontalAdvance(verdict->text()));
  EXPECT_LE(verdict->geometry().right(), Form->StatusBar1->width());
  for (const QLabel* panel : Form->StatusBar1Panels)
    EXPECT_FALSE(panel->geometry().intersects(verdict->geometry()))
        << panel->text().toStdString() << " " << panel->geometry().x() << "+" << panel->width() << " / " << verdict->geometry().x() << "+" << verdict->width() << " bar " << Form->StatusBar1->width();
}

} // namespace
} // namespace lodestar::test
