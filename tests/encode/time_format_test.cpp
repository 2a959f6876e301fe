#include "encode/report/time_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumio {
namespace {

constexpr std::int64_t Largest = std::numeric_limits<std::int64_t>::max();

TEST(FormatElapsedTime, TruncatesToWholeMinutesAndSeconds) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {125400, "2分5秒"},   {59999, "0分59秒"},
      {3600000, "60分0秒"}, {61999, "1分1秒"},
      {62300, "1分2秒"},    {0, "0分0秒"},
      {-61999, "0分0秒"},   {Largest, "153722867280912分55秒"},
  };
  for (const auto& [milliseconds, expected] : cases) {
    EXPECT_EQ(FormatElapsedTime(milliseconds), expected) << milliseconds;
  }
}

TEST(FormatTimeRatio, RoundsOnceToFiveSignificantDigits) {
  struct Case {
    std::int64_t play, elapsed;
    const char* expected;
  };
  const Case cases[] = {
      {240000, 61250, "3.9184"},
      {180000, 60000, "3.0000"},
      {180500, 9800, "18.4180"},
      {1234567, 100, "12346.0000"},
      {0, 5000, "0.0000"},
      {244000, 62300, "3.9165"},
      {189000, 45800, "4.1266"},
      {1, 3, "0.3333"},
      {2, 3, "0.6667"},
      {99999, 100000, "1.0000"},
      {999995, 10, "100000.0000"},
      {123445, 10, "12345.0000"},  // ties round away from zero
      {Largest, 1, "9223400000000000000.0000"},
      {-240000, 61250, "-3.9184"},
      {-1, 1000000, "0.0000"},
      // A processing time of 0 ms (or a clock gone backwards) counts as 1 ms.
      {0, 0, "0.0000"},
      {5000, 0, "5000.0000"},
      {5000, -3, "5000.0000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatTimeRatio(c.play, c.elapsed), c.expected) << c.play << "/" << c.elapsed;
  }
}

}  // namespace
}  // namespace lumio
