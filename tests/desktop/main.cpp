#include <QCoreApplication>
#include <gtest/gtest.h>

// A core application only, as the window program has while it reads its command line.
int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
