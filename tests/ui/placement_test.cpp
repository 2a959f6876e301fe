#include "ui/placement.h"

#include <gtest/gtest.h>

namespace lumio {
namespace {

TEST(CenterOnMainWindowTest, CentresTruncatingTowardZeroAndNeverBelowZero) {
  struct Case {
    int mainStart;
    int mainSize;
    int size;
    int expected;
  };
  const Case cases[] = {
      {100, 547, 419, 164},  // (547 - 419) / 2 = 64
      {-50, 300, 501, 0},    // -50 + (-201 / 2 = -100) = -150, raised to 0
      {10, 128, 1, 73},      // 127 / 2 truncates to 63
      {10, 100, 303, 0},     // -203 / 2 = -101 toward zero: 10 - 101 = -91, raised to 0
      {200, 100, 301, 100},  // -201 / 2 = -100 toward zero (not -101)
      {0, 100, 100, 0},
  };
  for (const Case& c : cases) {
    const QRect horizontal(c.mainStart, 40, c.mainSize, 10);
    EXPECT_EQ(CenterOnMainWindow(c.size, Direction::Horizontal, horizontal), c.expected)
        << c.mainStart << " " << c.mainSize << " " << c.size;
    const QRect vertical(40, c.mainStart, 10, c.mainSize);
    EXPECT_EQ(CenterOnMainWindow(c.size, Direction::Vertical, vertical), c.expected)
        << c.mainStart << " " << c.mainSize << " " << c.size;
  }
}

}  // namespace
}  // namespace lumio
