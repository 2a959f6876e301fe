#include <gtest/gtest.h>

#include <QCoreApplication>

// Test main for code that needs Qt's event loop (encoder processes, timers).
int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
