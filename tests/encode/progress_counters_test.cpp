#include "encode/progress_counters.h"

#include <gtest/gtest.h>

#include <utility>

namespace lumio {
namespace {

using MinutesSeconds = std::pair<int, int>;

MinutesSeconds Read(const ElapsedCount& count) { return {count.minutes, count.seconds}; }

void Tick(ProgressCounters& counters, int ticks) {
  for (int i = 0; i < ticks; ++i) counters.Tick();
}

TEST(ProgressCounters, TicksCarryIntoMinutesWithoutAnHourUnit) {
  ProgressCounters counters;
  Tick(counters, 59);
  EXPECT_EQ(Read(counters.Total()), MinutesSeconds(0, 59));
  Tick(counters, 1);
  EXPECT_EQ(Read(counters.Total()), MinutesSeconds(1, 0));
  EXPECT_EQ(Read(counters.File()), MinutesSeconds(1, 0));
  Tick(counters, 1);
  EXPECT_EQ(Read(counters.File()), MinutesSeconds(1, 1));
  Tick(counters, 69 * 60 - 1);
  EXPECT_EQ(Read(counters.Total()), MinutesSeconds(70, 0));
}

TEST(ProgressCounters, ResetFileCountKeepsTheTotalAndZeroAllClearsBoth) {
  ProgressCounters counters;
  Tick(counters, 150);
  counters.ResetFileCount();
  EXPECT_EQ(Read(counters.File()), MinutesSeconds(0, 0));
  Tick(counters, 1);
  EXPECT_EQ(Read(counters.File()), MinutesSeconds(0, 1));
  EXPECT_EQ(Read(counters.Total()), MinutesSeconds(2, 31));
  counters.ZeroAll();
  EXPECT_EQ(Read(counters.Total()), MinutesSeconds(0, 0));
  EXPECT_EQ(Read(counters.File()), MinutesSeconds(0, 0));
}

}  // namespace
}  // namespace lumio
