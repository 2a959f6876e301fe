#include "encode/run/progress_counters.h"

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
  struct Case {
    int ticks;
    MinutesSeconds shown;  // by the total and by the file alike
  };
  const Case cases[] = {{0, {0, 0}},   {1, {0, 1}},     {59, {0, 59}},
                        {60, {1, 0}},  {61, {1, 1}},    {119, {1, 59}},
                        {120, {2, 0}}, {4200, {70, 0}}, {4259, {70, 59}}};
  for (const Case& c : cases) {
    ProgressCounters counters;
    Tick(counters, c.ticks);
    EXPECT_EQ(Read(counters.Total()), c.shown) << c.ticks << " ticks";
    EXPECT_EQ(Read(counters.File()), c.shown) << c.ticks << " ticks";
  }
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
