#include "encode/run/clock.h"

#include <chrono>

namespace lumio {

std::int64_t MonotonicClock::CurrentMilliseconds() {
  const auto sinceOrigin = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(sinceOrigin).count();
}

}  // namespace lumio
