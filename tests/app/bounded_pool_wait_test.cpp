#include "app/bounded_pool_wait.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QThreadPool>
#include <cstdlib>

namespace lumio {
namespace {

// The program's end, as the object ends it: work held in Qt's global pool (a read that
// never returns) ends the process with the status returned; without it, the program
// goes on to its own end.
TEST(BoundedPoolWait, WorkHeldInTheGlobalPoolDoesNotKeepTheProgramFromEnding) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const struct {
    bool held;
    int status;
  } rows[] = {{true, 7}, {false, 0}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.held);
    EXPECT_EXIT(
        {
          {
            BoundedPoolWait poolWait;
            if (row.held) QThreadPool::globalInstance()->start([] { ::pause(); });
            poolWait.Ending(7);
          }
          std::exit(0);
        },
        ::testing::ExitedWithCode(row.status), "");
  }
}

}  // namespace
}  // namespace lumio
