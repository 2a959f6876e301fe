#pragma once

#include <cstdint>

namespace lumio {

// Milliseconds from a fixed origin; only differences of two readings are used.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t CurrentMilliseconds() = 0;
};

// The system's monotonic clock: never jumps at a daylight-saving change.
class MonotonicClock final : public Clock {
 public:
  std::int64_t CurrentMilliseconds() override;
};

}  // namespace lumio
