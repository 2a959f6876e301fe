#include "encode/run/quit_signals.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <QTest>

namespace lumio {
namespace {

TEST(QuitSignalsTest, EachPoliteSignalReachesTheEventLoop) {
  int calls = 0;
  QuitSignals watcher([&calls] { ++calls; });
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
    const int before = calls;
    ::raise(number);
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls == before + 1; }, 5000)) << number;
  }
}

}  // namespace
}  // namespace lumio
