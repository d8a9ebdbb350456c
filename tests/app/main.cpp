#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lodestar");
  QLocale::setDefault(QLocale::c()); // a test that needs another locale sets it itself
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
