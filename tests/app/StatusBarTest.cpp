// The status bar on a screen too small for the design's panels (1366 x 768 at a scale factor of
// 2): the verdict stays whole and clear of the panels beside it; on a large one every panel is
// whole.
#include "AppTestSupport.h"

#include <QScreen>

namespace lodestar::test {
namespace {

using StatusBar = AppTest;

TEST_F(StatusBar, TheVerdictIsWholeAndOverlapsNoPanelOnASmallScreen) {
  for (const char* screen : {"wide", "small"}) {
    SCOPED_TRACE(screen);
    Start();
    Form->setScreen(QGuiApplication::screens()[std::string(screen) == "wide" ? 0 : 1]);
    OpenByDialog(A4(1));
    Form->show(); // placed again on its screen
    QApplication::processEvents();
    const QLabel* verdict = Form->StatusBarVerdict;
    ASSERT_FALSE(verdict->text().isEmpty());
    EXPECT_GE(verdict->width(), verdict->fontMetrics().horizontalAdvance(verdict->text()));
    EXPECT_LE(verdict->geometry().right(), Form->StatusBar1->width());
    for (const QLabel* panel : Form->StatusBar1Panels) {
      EXPECT_FALSE(panel->geometry().intersects(verdict->geometry()))
          << panel->text().toStdString();
      if (std::string(screen) == "wide") {
        EXPECT_GE(panel->width(), panel->fontMetrics().horizontalAdvance(panel->text()));
      }
    }
  }
}

} // namespace
} // namespace lodestar::test
