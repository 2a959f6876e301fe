// Stands in for an encoder that takes a long time: it accepts any command line, writes
// a line now and then, and ends with exit code 0 after about a minute unless it is
// stopped first (a terminate signal ends it with the signal's default action).
#include <chrono>
#include <cstdio>
#include <thread>

int main() {
  for (int second = 0; second < 60; ++second) {
    std::printf("\r[%2d s]", second);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(1));
  }
  std::printf("\n");
  return 0;
}
