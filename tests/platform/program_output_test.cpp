#include "platform/program_output.h"

#include <gtest/gtest.h>

#include <chrono>

namespace lumio {
namespace {

using namespace std::chrono_literals;

TEST(ProgramOutput, GivesWhatAProgramWritesOnlyWhenItEndsWellAndInTime) {
  const struct {
    std::vector<std::string> arguments;
    std::size_t limit;
    std::optional<std::string> output;
  } rows[] = {
      {{"/bin/echo", "a b", "c"}, 100, "a b c\n"},
      {{"/bin/echo", "0123456789"}, 4, "0123"},  // cut at the limit, not refused
      {{"/bin/false"}, 100, std::nullopt},
      {{"/nonexistent/program"}, 100, std::nullopt},
      // Hung with its output open, and hung after closing it: both are stopped in time.
      {{"/bin/sleep", "30"}, 100, std::nullopt},
      {{"/bin/sh", "-c", "exec >&-; sleep 30"}, 100, std::nullopt},
      {{}, 100, std::nullopt},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments.empty() ? "(none)" : row.arguments.back());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ProgramOutput(row.arguments, 300ms, row.limit), row.output);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  }
}

}  // namespace
}  // namespace lumio
