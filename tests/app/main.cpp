// The window tests on a screen large enough for the design's window (the offscreen platform's own
// is smaller), beside one as small as 1366 x 768 at a scale factor of 2 for the tests that move the
// window there; a test that needs another locale sets it itself.
#include "TempDir.h"

#include <QApplication>
#include <QLocale>
#include <fstream>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  lodestar::test::TTempDir dir;
  const std::string config = dir.File("screens.json");
  std::ofstream(config) << R"({"screens": [
    {"name": "wide", "x": 0, "y": 0, "width": 2560, "height": 1440, "logicalDpi": 96},
    {"name": "small", "x": 2560, "y": 0, "width": 683, "height": 384, "logicalDpi": 96}]})";
  qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lodestar");
  QLocale::setDefault(QLocale::c());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
