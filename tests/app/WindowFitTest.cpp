// What must stay visible whatever the screen: the about box's links and OK button, and the whole
// of a short path in the status bar's file panel.
#include "AppTestSupport.h"
#include "StatusPanels.h"
#include "UAboutForm.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>

namespace lodestar::test {
namespace {

class WindowFit : public AppTest {};

TEST_F(WindowFit, AboutBoxKeepsLinksAndOkOnScreen) {
  Start();
  const std::tuple<const char*, QRect, bool> cases[] = {
      {"the screen", QGuiApplication::primaryScreen()->availableGeometry(), true},
      {"1366 x 768 at scale 2", QRect(0, 0, 683, 384), false},
      {"the same under a panel", QRect(0, 24, 683, 360), false},
  };
  for (const auto& [name, available, fits] : cases) {
    SCOPED_TRACE(name);
    TFrmAbout about(Form.get());
    about.show();
    about.FitInto(available);
    QApplication::processEvents();
    if (fits) {
      EXPECT_EQ(about.size(), QSize(413, 572));
    }
    EXPECT_TRUE(available.contains(QRect(about.pos(), about.size())));
    const QWidget* kept[] = {about.OKButton, about.BitBtn1, about.BitBtn2, about.SpeedButton1};
    for (const QWidget* w : kept)
      EXPECT_TRUE(about.rect().contains(QRect(w->mapTo(&about, QPoint(0, 0)), w->size())));
    // The text gives up the height, and scrolls where it must; a few lines stay in view.
    EXPECT_GE(about.Memo1->height(), 3 * about.Memo1->fontMetrics().lineSpacing());
  }
}

TEST_F(WindowFit, FilePanelShowsShortPathsWhole) {
  std::string ae; // Latin-1's AE, two bytes of UTF-8 each
  for (int i = 0; i < 18; ++i)
    ae += "\xc3\x86";
  const std::string paths[] = {
      "/tmp/" + std::string(16, 'W') + ".tif",
      "/" + std::string(28, 'W'),
      "/" + std::string(28, 'M'),
      "/" + std::string(28, '@'),
      "/srv/" + std::string(40, 'W') + ".tif",
      "/mmmmmmmmmm" + ae,
      "/mmmmmmmmmm" + std::string(18, '\xc6'), // no UTF-8: U+FFFD each
  };
  Start();
  Form->show();
  QApplication::processEvents();
  const QLabel* panel = Form->StatusBar1Panels[0];
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    const QString text = QString::fromUtf8(FileNamePanelText(path));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(text), panel->contentsRect().width());
  }
}

} // namespace
} // namespace lodestar::test
