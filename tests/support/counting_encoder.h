#pragma once

#include "encode/run/console_sink.h"

namespace lumio::test {

// A running encoder that only counts the close requests it receives: for window tests
// that need no process at all (the stand-in program is fake_encoder.cpp).
class CountingEncoder : public RunningEncoder {
 public:
  void RequestClose() override { ++closeRequests; }
  int closeRequests = 0;
};

}  // namespace lumio::test
