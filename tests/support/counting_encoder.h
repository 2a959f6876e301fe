#pragma once

#include "encode/console_sink.h"

namespace lumio::testing {

// A running encoder that only counts the close requests it receives.
class CountingEncoder : public RunningEncoder {
 public:
  void RequestClose() override { ++closeRequests; }
  int closeRequests = 0;
};

}  // namespace lumio::testing
