#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "encode/run/clock.h"

namespace lumio::test {

// Hands out scripted readings in order; the last one repeats, so a clock made without
// readings always reads 0. With `faultAt`, the reading of that number (counted from 0)
// throws instead, as a fault in the middle of a run would.
class ScriptedClock final : public Clock {
 public:
  explicit ScriptedClock(std::vector<std::int64_t> readings = {0},
                         std::optional<std::size_t> faultAt = std::nullopt)
      : readings_(std::move(readings)), faultAt_(faultAt) {}
  std::int64_t CurrentMilliseconds() override {
    if (faultAt_ && readingsTaken_++ == *faultAt_) throw std::bad_alloc();
    const std::int64_t value = readings_[next_];
    if (next_ + 1 < readings_.size()) ++next_;
    return value;
  }

 private:
  std::vector<std::int64_t> readings_;
  std::optional<std::size_t> faultAt_;
  std::size_t readingsTaken_ = 0;
  std::size_t next_ = 0;
};

}  // namespace lumio::test
