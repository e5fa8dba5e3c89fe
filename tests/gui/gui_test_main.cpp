#include <gtest/gtest.h>

#include <cstdlib>

#include <QApplication>

// The widgets are real, drawn on the offscreen platform: no display needed.
int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
